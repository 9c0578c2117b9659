#include "engine/sensitivity.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <limits>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "core/likert_evidence.h"
#include "engine/barycentre.h"
#include "engine/resampling.h"

namespace vpl::core {

int PartilhaDasDecisoes::Vezes(Veredito veredito) const {
    int n = 0;
    for (const int times : vezes[static_cast<std::size_t>(veredito)]) n += times;
    return n;
}

int PartilhaDasDecisoes::Vezes(Decisao decisao) const {
    return vezes[static_cast<std::size_t>(decisao.veredito)]
                [static_cast<std::size_t>(decisao.ressalva)];
}

double PartilhaDasDecisoes::Parcela(Veredito veredito) const {
    return sorteios ? static_cast<double>(Vezes(veredito)) / sorteios : 0.0;
}

double PartilhaDasDecisoes::Parcela(Decisao decisao) const {
    return sorteios ? static_cast<double>(Vezes(decisao)) / sorteios : 0.0;
}

ParesDasSomas::ParesDasSomas(std::int64_t total) : total_(total) {}

double ParesDasSomas::degree(std::array<Entry, kEntries>& kept, std::int64_t sum, bool favourable) {
    Entry& entry = kept[static_cast<std::size_t>(sum) % kEntries];
    if (entry.sum != sum) {
        // A degree is its side's sum over the total; the rest of the answers may as well
        // be neutral.
        const double rest = static_cast<double>(total_ - sum);
        const double side = static_cast<double>(sum);
        const LikertRow row =
            favourable ? LikertRow{0, 0, rest, side, 0} : LikertRow{side, 0, rest, 0, 0};
        const StoredDegrees stored = DegreesToStore(ComputeLikertEvidence(std::span(&row, 1)));
        entry = {sum, favourable ? stored.Mi1 : stored.Mi2};
    }
    return entry.degree;
}

EvidencePair ParesDasSomas::operator()(std::int64_t contrary, std::int64_t favourable) {
    return {degree(favourable_, favourable, true), degree(contrary_, contrary, false)};
}

RedeNumerica::RedeNumerica(int factors) : factors_(factors) {
    if (factors == 4) return;
    const std::vector<NetworkColumn>& columns = FamilyNetwork(factors);
    for (const NetworkColumn& column : columns) kinds_.push_back(column.kind);
    joins_ = NetworkJoins(factors, columns);
}

namespace {

Fixed4 Key(const std::optional<EvidencePair>& pair, double EvidencePair::*degree) {
    return pair ? Fixed4::FromReal((*pair).*degree) : Fixed4();
}

// A four-decimal degree as its two-decimal text reads back, halves away from zero.
Fixed4 TwoDecimals(Fixed4 degree) {
    const std::int64_t t = degree.Ticks();
    const std::int64_t half = t < 0 ? -50 : 50;
    return Fixed4::FromTicks((t + half) / 100 * 100);
}

template <class T>
T Pick(Operand operand, T first, T second) {
    return operand == Operand::First ? first : second;
}

}  // namespace

GrausDoResultado RedeNumerica::FourFactors(
    std::span<const std::optional<EvidencePair>> pairs) const {
    std::array<Fixed4, 4> mu{};
    std::array<Fixed4, 4> lambda{};
    for (std::size_t i = 0; i < 4 && i < pairs.size(); ++i) {
        mu[i] = Key(pairs[i], &EvidencePair::Mi1);
        lambda[i] = Key(pairs[i], &EvidencePair::Mi2);
    }
    // Rede4f: the ORs, the favourable one following the smaller contrary degree, then the
    // ANDs on the two-decimal texts carrying four decimals on.
    const std::array<Fixed4, 4> max{Pick(OperadorMax(lambda[0], lambda[1]), lambda[0], lambda[1]),
                                    Pick(OperadorMax(lambda[2], lambda[3]), lambda[2], lambda[3]),
                                    Pick(OperadorMin(lambda[0], lambda[1]), mu[0], mu[1]),
                                    Pick(OperadorMin(lambda[2], lambda[3]), mu[2], mu[3])};
    const Fixed4 lambdaR =
        Pick(OperadorMin(TwoDecimals(max[0]), TwoDecimals(max[1])), max[0], max[1]);
    const Fixed4 muR = Pick(OperadorMin(TwoDecimals(max[2]), TwoDecimals(max[3])), max[2], max[3]);
    return {muR - lambdaR, muR + lambdaR - kFixed4One};
}

GrausDoResultado RedeNumerica::operator()(
    std::span<const std::optional<EvidencePair>> pairs) const {
    if (factors_ == 4) return FourFactors(pairs);
    // What stands in each group of rows, by its first row.
    std::array<Fixed4, 9> mu{};
    std::array<Fixed4, 9> lambda{};
    for (int f = 1; f <= factors_; ++f) {
        mu[std::size_t(f)] = Key(pairs[std::size_t(f) - 1], &EvidencePair::Mi1);
        lambda[std::size_t(f)] = Key(pairs[std::size_t(f) - 1], &EvidencePair::Mi2);
    }
    for (std::size_t c = 0; c < joins_.size(); ++c) {
        const bool orCell = kinds_[c] == Operator::Or;
        for (const CellJoin& cell : joins_[c]) {
            // Row order, a tie giving the later input.
            Fixed4 m = mu[std::size_t(cell.inputs.front().first)];
            Fixed4 l = lambda[std::size_t(cell.inputs.front().first)];
            for (std::size_t k = 1; k < cell.inputs.size(); ++k) {
                const Fixed4 nm = mu[std::size_t(cell.inputs[k].first)];
                const Fixed4 nl = lambda[std::size_t(cell.inputs[k].first)];
                m = orCell ? Pick(OperadorMax(m, nm), m, nm) : Pick(OperadorMin(m, nm), m, nm);
                l = orCell ? Pick(OperadorMax(l, nl), l, nl) : Pick(OperadorMin(l, nl), l, nl);
            }
            mu[std::size_t(cell.rows.first)] = m;
            lambda[std::size_t(cell.rows.first)] = l;
        }
    }
    return {mu[1] - lambda[1], mu[1] + lambda[1] - kFixed4One};
}

namespace {

GrausDoResultado PontoDe(const Graus& graus) {
    return {graus.G1, graus.G2};
}

PontoNormalizado Normalizado(GrausDoResultado p) {
    return {(p.G1 + kFixed4One).ToDouble() / 2.0, (p.G2 + kFixed4One).ToDouble() / 2.0};
}

std::int64_t Cross(GrausDoResultado o, GrausDoResultado a, GrausDoResultado b) {
    return (a.G1 - o.G1).Ticks() * (b.G2 - o.G2).Ticks() -
           (a.G2 - o.G2).Ticks() * (b.G1 - o.G1).Ticks();
}

// Andrew's monotone chain on whole ticks, so that no rounding decides a corner.
std::vector<GrausDoResultado> ConvexHull(std::vector<GrausDoResultado> points) {
    const auto before = [](GrausDoResultado a, GrausDoResultado b) {
        return a.G1 != b.G1 ? a.G1 < b.G1 : a.G2 < b.G2;
    };
    std::sort(points.begin(), points.end(), before);
    points.erase(std::unique(points.begin(), points.end()), points.end());
    if (points.size() < 3) return points;
    std::vector<GrausDoResultado> hull(2 * points.size());
    std::size_t k = 0;
    for (const GrausDoResultado& p : points) {
        while (k >= 2 && Cross(hull[k - 2], hull[k - 1], p) <= 0) --k;
        hull[k++] = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    // All on one line: its two ends.
    if (hull.size() < 3) return {points.front(), points.back()};
    return hull;
}

}  // namespace

std::vector<PontoNormalizado> RegiaoDos90PorCento(std::span<const GrausDoResultado> draws,
                                                  GrausDoResultado result) {
    if (draws.empty()) return {};
    const std::size_t kept = (draws.size() * 9 + 9) / 10;
    struct Near {
        std::int64_t distance;
        std::size_t draw;
    };
    std::vector<Near> order;
    order.reserve(draws.size());
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const std::int64_t dx = (draws[i].G1 - result.G1).Ticks();
        const std::int64_t dy = (draws[i].G2 - result.G2).Ticks();
        order.push_back({dx * dx + dy * dy, i});
    }
    const auto nearer = [](const Near& a, const Near& b) {
        return a.distance != b.distance ? a.distance < b.distance : a.draw < b.draw;
    };
    std::nth_element(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(kept - 1),
                     order.end(), nearer);
    std::vector<GrausDoResultado> nearest;
    nearest.reserve(kept);
    for (std::size_t i = 0; i < kept; ++i) nearest.push_back(draws[order[i].draw]);
    std::vector<PontoNormalizado> region;
    for (const GrausDoResultado& p : ConvexHull(std::move(nearest)))
        region.push_back(Normalizado(p));
    return region;
}

std::vector<int> FatoresDecisivos(const SensibilidadeDoResultado& resultado) {
    std::vector<int> factors;
    for (std::size_t i = 0; i < resultado.semOFator.size(); ++i)
        if (resultado.semOFator[i] != resultado.decisao) factors.push_back(static_cast<int>(i) + 1);
    return factors;
}

namespace {

constexpr NumberLocale kLocale{};
// Draws a thread takes at a time.
constexpr int kDrawsPerTurn = 250;

std::int64_t Answers(std::span<const Counts> rows) {
    std::int64_t n = 0;
    for (const Counts& row : rows)
        for (const std::int32_t count : row) n += count;
    return n;
}

bool Drawable(std::span<const Counts> rows) {
    for (const Counts& row : rows) {
        std::int64_t n = 0;
        for (const std::int32_t count : row) {
            if (count < 0) return false;
            n += count;
        }
        if (n > std::numeric_limits<std::int32_t>::max()) return false;
    }
    // The reference table's draws give a block its sums as one row of counts.
    return Answers(rows) <= std::numeric_limits<std::int32_t>::max();
}

// The analysis of one set of factor pairs, or of blocks, as the windows run it.
class Analysis {
  public:
    explicit Analysis(const EntradaDaSensibilidade& in) : in_(in) {
        const std::size_t n = in.contagens.size();
        if (in.fonte == FonteDaAnalise::TabelaDeReferencia) {
            if (n != 4) throw std::invalid_argument("the reference table has four blocks");
        } else {
            if (n < 2 || n > 8) throw std::invalid_argument("an analysis has 2 to 8 factors");
            if (in.pares.size() != n)
                throw std::invalid_argument("one stored pair, or none, per factor");
            if (n != 4) columns_ = &FamilyNetwork(static_cast<int>(n));
            quick_.emplace(static_cast<int>(n));
        }
        if (in.pesos.size() != n) throw std::invalid_argument("one weight per factor");
        for (const int w : in.pesos)
            if (w < kPesoMinimo || w > kPesoMaximo)
                throw std::invalid_argument("a factor's weight is a whole number from 1 to 10");
        if (!NivelDeExigenciaValido(in.nivel))
            throw std::invalid_argument("a requirement level is a step of 0.01 from 0 to 1");
    }

    bool table() const { return in_.fonte == FonteDaAnalise::TabelaDeReferencia; }
    std::size_t factors() const { return in_.contagens.size(); }
    std::span<const int> weights() const { return in_.pesos; }

    struct Outcome {
        Graus network;
        std::optional<Graus> barycentre;
    };

    // The user's factors: the pairs they enter with, the barycentre over those of
    // `answered`.
    Outcome OfPairs(std::span<const std::optional<EvidencePair>> pairs,
                    std::span<const bool> answered) const {
        Outcome o;
        if (factors() == 4) {
            o.network = Degrees(Rede4f(4, pairs, kLocale));
        } else {
            o.network = AnalisarFatoresProprios(pairs, *columns_, kLocale).graus;
        }
        std::array<std::optional<EvidencePair>, 8> counted;
        for (std::size_t i = 0; i < pairs.size(); ++i)
            if (answered[i]) counted[i] = pairs[i];
        o.barycentre = BarycentreDegrees(std::span(counted.data(), pairs.size()));
        return o;
    }

    // A draw of the user's factors: the network on keys alone, its pairs having four
    // decimals.
    std::pair<GrausDoResultado, std::optional<GrausDoResultado>> OfDrawnPairs(
        std::span<const std::optional<EvidencePair>> pairs, std::span<const bool> answered) const {
        std::array<std::optional<EvidencePair>, 8> counted;
        for (std::size_t i = 0; i < pairs.size(); ++i)
            if (answered[i]) counted[i] = pairs[i];
        const std::optional<Graus> centre =
            BarycentreDegrees(std::span(counted.data(), pairs.size()));
        return {(*quick_)(pairs),
                centre ? std::optional(GrausDoResultado{centre->G1, centre->G2}) : std::nullopt};
    }

    // The reference table's blocks.
    Outcome OfBlocks(const std::array<std::span<const Counts>, 4>& blocks) const {
        const AnaliseFatoresResult r = AnalisarFatores(blocks, kLocale);
        std::array<std::optional<EvidencePair>, 4> pairs;
        for (std::size_t i = 0; i < 4; ++i)
            if (!r.blocks[i].mu.text.empty())
                pairs[i] = EvidencePair{r.blocks[i].mu.value, r.blocks[i].lambda.value};
        return {r.graus, BarycentreDegrees(pairs)};
    }

  private:
    static Graus Degrees(const Rede4fResult& r) {
        // The four-factor window's degrees, from the pair it combined.
        return GrausParaconsistentes(Fixed4::FromText(r.muR, kLocale),
                                     Fixed4::FromText(r.lambdaR, kLocale));
    }

    std::optional<Graus> BarycentreDegrees(
        std::span<const std::optional<EvidencePair>> pairs) const {
        const auto centre = AnalisarBaricentro(pairs, in_.pesos, in_.nivel);
        if (!centre) return std::nullopt;
        return centre->graus;
    }

    const EntradaDaSensibilidade& in_;
    const std::vector<NetworkColumn>* columns_ = nullptr;
    std::optional<RedeNumerica> quick_;
};

// What one draw ends in.
struct DrawResult {
    GrausDoResultado network;
    GrausDoResultado barycentre;
};

// The counts as the draws take them, set up once for every thread.
struct Prepared {
    struct Factor {
        std::size_t index = 0;
        std::int64_t total = 0;
        std::vector<SorteioDaProposicao> rows;  // those with answers, in order
    };
    std::vector<Factor> drawn;
    std::array<bool, 8> answered{};
};

// One thread's draws; it keeps its own remembered degrees. A turn's draws go through the
// propositions together, each proposition's tables staying at hand while every draw of
// the turn takes its respondents; each draw still meets the propositions in order on its
// own generator.
class Drawer {
  public:
    Drawer(const Analysis& analysis, const Prepared& prepared, const EntradaDaSensibilidade& in,
           std::uint64_t seed)
        : analysis_(analysis), prepared_(prepared), pairs_(in.pares), seed_(seed) {
        for (const Prepared::Factor& f : prepared.drawn) kept_.emplace_back(f.total);
    }

    void Draw(int first, int last, std::vector<DrawResult>& results) {
        const std::size_t count = static_cast<std::size_t>(last - first);
        generators_.clear();
        for (int d = first; d < last; ++d)
            generators_.push_back(GeradorDoSorteio(seed_, static_cast<std::uint64_t>(d)));
        const std::size_t factors = prepared_.drawn.size();
        sums_.assign(factors * count, {});
        for (std::size_t k = 0; k < factors; ++k) {
            std::array<std::int64_t, 3>* sums = sums_.data() + k * count;
            for (const SorteioDaProposicao& row : prepared_.drawn[k].rows) {
                for (std::size_t j = 0; j < count; ++j) {
                    const std::array<std::int64_t, 3> g = row(generators_[j]);
                    for (std::size_t i = 0; i < 3; ++i) sums[j][i] += g[i];
                }
            }
        }
        for (std::size_t j = 0; j < count; ++j)
            results[static_cast<std::size_t>(first) + j] = Outcome(j, count);
    }

  private:
    DrawResult Outcome(std::size_t j, std::size_t count) {
        const std::size_t factors = prepared_.drawn.size();
        if (analysis_.table()) {
            // With whole counts a block's evidence is that of one row of its sums.
            std::array<Counts, 4> rows{};
            const auto whole = [](std::int64_t x) { return static_cast<std::int32_t>(x); };
            for (std::size_t k = 0; k < factors; ++k) {
                const std::array<std::int64_t, 3>& g = sums_[k * count + j];
                rows[prepared_.drawn[k].index] = {whole(g[0]), 0, whole(g[1]), whole(g[2]), 0};
            }
            std::array<std::span<const Counts>, 4> blocks;
            for (std::size_t i = 0; i < 4; ++i) blocks[i] = std::span(&rows[i], 1);
            const Analysis::Outcome o = analysis_.OfBlocks(blocks);
            return {PontoDe(o.network), o.barycentre ? PontoDe(*o.barycentre) : GrausDoResultado{}};
        }
        for (std::size_t k = 0; k < factors; ++k) {
            const std::array<std::int64_t, 3>& g = sums_[k * count + j];
            pairs_[prepared_.drawn[k].index] = kept_[k](g[0], g[2]);
        }
        const auto [network, centre] =
            analysis_.OfDrawnPairs(pairs_, std::span(prepared_.answered.data(), pairs_.size()));
        return {network, centre.value_or(GrausDoResultado{})};
    }

    const Analysis& analysis_;
    const Prepared& prepared_;
    std::vector<std::optional<EvidencePair>> pairs_;
    std::uint64_t seed_;
    std::vector<ParesDasSomas> kept_;
    std::vector<Gerador> generators_;
    std::vector<std::array<std::int64_t, 3>> sums_;  // by factor, then draw of the turn
};

// Runs the draws over the threads; false when cancelled.
bool RunDraws(const Analysis& analysis, const Prepared& prepared, const EntradaDaSensibilidade& in,
              const OpcoesDaSensibilidade& op, std::vector<DrawResult>& results) {
    const int total = op.sorteios;
    results.assign(static_cast<std::size_t>(total), DrawResult{});
    const int threads =
        std::clamp(op.linhasDeExecucao > 0 ? op.linhasDeExecucao
                                           : static_cast<int>(std::thread::hardware_concurrency()),
                   1, std::max(1, total / kDrawsPerTurn));
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::atomic<bool> stopped{false};
    std::exception_ptr failure;
    std::mutex failureLock;

    const auto work = [&](bool calling) {
        try {
            Drawer drawer(analysis, prepared, in, op.semente);
            for (;;) {
                if (stopped.load() || (op.cancelar && op.cancelar->load())) {
                    stopped = true;
                    return;
                }
                const int first = next.fetch_add(kDrawsPerTurn);
                if (first >= total) return;
                const int last = std::min(total, first + kDrawsPerTurn);
                drawer.Draw(first, last, results);
                const int sofar = done.fetch_add(last - first) + (last - first);
                if (calling && op.progresso) op.progresso(sofar, total);
            }
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure) failure = std::current_exception();
            stopped = true;
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) helpers.emplace_back(work, false);
    work(true);
    for (std::thread& helper : helpers) helper.join();
    if (failure) std::rethrow_exception(failure);
    if (done.load() < total) return false;
    if (op.progresso) op.progresso(total, total);
    return true;
}

SensibilidadeDoResultado Judged(const Graus& graus, Fixed4 level) {
    SensibilidadeDoResultado r;
    r.graus = graus;
    r.estado = EstadoDoResultado(graus.G1, graus.G2, level);
    r.decisao = DecisaoDoResultado(graus.G1, graus.G2, level);
    r.faixa = FaixaDaDecisao(graus.G1, graus.G2, level);
    return r;
}

void AddDraws(SensibilidadeDoResultado& r, const std::vector<GrausDoResultado>& draws,
              Fixed4 level) {
    r.partilha.sorteios = static_cast<int>(draws.size());
    for (const GrausDoResultado& p : draws) {
        const Decisao d = DecisaoDoResultado(p.G1, p.G2, level);
        ++r.partilha
              .vezes[static_cast<std::size_t>(d.veredito)][static_cast<std::size_t>(d.ressalva)];
    }
    r.regiao = RegiaoDos90PorCento(draws, PontoDe(r.graus));
}

}  // namespace

Sensibilidade AnalisarSensibilidade(const EntradaDaSensibilidade& in,
                                    const OpcoesDaSensibilidade& op) {
    const Analysis analysis(in);
    if (op.sorteios < 1) throw std::invalid_argument("a sensitivity needs at least one draw");
    const std::size_t n = analysis.factors();
    const Fixed4 level = in.nivel;

    // The data as they are, and with each factor left out.
    Prepared prepared;
    Analysis::Outcome base;
    std::vector<Analysis::Outcome> without(n);
    if (analysis.table()) {
        std::array<std::span<const Counts>, 4> blocks;
        for (std::size_t i = 0; i < 4; ++i) blocks[i] = in.contagens[i];
        base = analysis.OfBlocks(blocks);
        for (std::size_t i = 0; i < 4; ++i) {
            auto left = blocks;
            left[i] = {};
            without[i] = analysis.OfBlocks(left);
        }
    } else {
        std::vector<std::optional<double>> answers;
        for (const auto& rows : in.contagens)
            answers.emplace_back(static_cast<double>(Answers(rows)));
        std::fill_n(prepared.answered.begin(), n, true);
        for (const int f : in.semRespostas.value_or(FatoresSemRespostas(in.pares, answers)))
            if (f >= 1 && static_cast<std::size_t>(f) <= n)
                prepared.answered[static_cast<std::size_t>(f) - 1] = false;
        const std::span answered(prepared.answered.data(), n);
        base = analysis.OfPairs(in.pares, answered);
        for (std::size_t i = 0; i < n; ++i) {
            std::vector<std::optional<EvidencePair>> left = in.pares;
            left[i].reset();
            without[i] = analysis.OfPairs(left, answered);
        }
    }

    Sensibilidade s;
    s.rede = Judged(base.network, level);
    if (base.barycentre) s.baricentro = Judged(*base.barycentre, level);
    for (const Analysis::Outcome& o : without) {
        s.rede.semOFator.push_back(DecisaoDoResultado(o.network.G1, o.network.G2, level));
        if (s.baricentro) {
            std::optional<Decisao>& d = s.baricentro->semOFator.emplace_back();
            if (o.barycentre) d = DecisaoDoResultado(o.barycentre->G1, o.barycentre->G2, level);
        }
    }

    // What the draws take: a factor without a stored pair keeps none in every draw.
    for (std::size_t i = 0; i < n; ++i) {
        const std::vector<Counts>& rows = in.contagens[i];
        const bool own = !analysis.table();
        if (own && !in.pares[i]) continue;
        bool drawable = Drawable(rows);
        if (drawable && own)
            drawable = DegreesOf(rows) == StoredDegrees{in.pares[i]->Mi1, in.pares[i]->Mi2};
        if (!drawable) {
            s.semReamostragem.push_back(static_cast<int>(i) + 1);
            continue;
        }
        Prepared::Factor& f = prepared.drawn.emplace_back();
        f.index = i;
        f.total = Answers(rows);
        for (const Counts& row : rows) {
            SorteioDaProposicao draw(row);
            if (draw.respondentes() > 0) f.rows.push_back(draw);
        }
    }
    if (!s.semReamostragem.empty()) return s;

    std::vector<DrawResult> results;
    if (!RunDraws(analysis, prepared, in, op, results)) {
        s.interrompida = true;
        return s;
    }
    s.reamostrada = true;
    std::vector<GrausDoResultado> points;
    points.reserve(results.size());
    for (const DrawResult& r : results) points.push_back(r.network);
    AddDraws(s.rede, points, level);
    if (s.baricentro) {
        points.clear();
        for (const DrawResult& r : results) points.push_back(r.barycentre);
        AddDraws(*s.baricentro, points, level);
    }
    return s;
}

}  // namespace vpl::core

#include "engine/sensitivity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/likert_evidence.h"
#include "engine/barycentre.h"
#include "engine/resampling.h"

namespace vpl::core {
namespace {

using Factor = std::vector<Counts>;
using Decisions = std::vector<std::optional<Decisao>>;

constexpr Decisao kViavel{Veredito::Viavel};
constexpr Decisao kNaoConclusivo{Veredito::NaoConclusivo};
constexpr Decisao kIncompleto{Veredito::NaoConclusivo, Ressalva::Incompleto};

Fixed4 degree(double value) {
    return Fixed4::FromReal(value);
}

// The user's factors with the pairs their counts give, as the Likert window stores them.
EntradaDaSensibilidade Own(std::vector<Factor> factors, double level = 0.5) {
    EntradaDaSensibilidade in;
    for (const Factor& rows : factors) {
        const StoredDegrees d = DegreesOf(rows);
        in.pares.push_back(EvidencePair{d.Mi1, d.Mi2});
    }
    in.pesos.assign(factors.size(), 1);
    in.contagens = std::move(factors);
    in.nivel = degree(level);
    return in;
}

EntradaDaSensibilidade Table(std::vector<Factor> blocks, double level = 0.5) {
    EntradaDaSensibilidade in;
    in.fonte = FonteDaAnalise::TabelaDeReferencia;
    in.pesos.assign(blocks.size(), 1);
    in.contagens = std::move(blocks);
    in.nivel = degree(level);
    return in;
}

OpcoesDaSensibilidade Draws(int draws, int threads = 1, std::uint64_t seed = 99) {
    OpcoesDaSensibilidade op;
    op.sorteios = draws;
    op.linhasDeExecucao = threads;
    op.semente = seed;
    return op;
}

double Area(const std::vector<PontoNormalizado>& polygon) {
    double twice = 0;
    for (std::size_t k = 0; k < polygon.size(); ++k) {
        const PontoNormalizado& a = polygon[k];
        const PontoNormalizado& b = polygon[(k + 1) % polygon.size()];
        twice += a.G1n * b.G2n - b.G1n * a.G2n;
    }
    return twice / 2;
}

bool Same(const std::vector<PontoNormalizado>& a, const std::vector<PontoNormalizado>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](auto p, auto q) { return p.G1n == q.G1n && p.G2n == q.G2n; });
}

// The degrees the windows' own network gives the user's factors.
GrausDoResultado WindowsNetwork(const std::vector<std::optional<EvidencePair>>& pairs) {
    if (pairs.size() == 4) {
        const Rede4fResult r = Rede4f(4, pairs, {});
        return {r.gG1, r.gG2};
    }
    const Graus g = AnalisarFatoresProprios(pairs, FamilyNetwork(int(pairs.size())), {}).graus;
    return {g.G1, g.G2};
}

// The draws of the user's factors as the plain computation makes them: every proposition
// drawn, each factor's degrees by DegreesOf of all its drawn counts, the windows' own
// networks and the barycentre of the factors with answers; then the decisions counted.
std::array<PartilhaDasDecisoes, 2> Plainly(const EntradaDaSensibilidade& in, std::uint64_t seed,
                                           int draws) {
    std::array<PartilhaDasDecisoes, 2> shares{};
    const std::size_t n = in.contagens.size();
    std::vector<std::optional<double>> answers;
    for (const Factor& rows : in.contagens) answers.emplace_back(ComputeLikertEvidence(rows).total);
    for (int d = 0; d < draws; ++d) {
        Gerador stream = GeradorDoSorteio(seed, static_cast<std::uint64_t>(d));
        std::vector<std::optional<EvidencePair>> pairs(n);
        for (std::size_t i = 0; i < n; ++i) {
            if (!in.pares[i]) continue;
            Factor drawn;
            for (const Counts& row : in.contagens[i]) {
                const auto [c, k, f] = SorteioDaProposicao(row)(stream);
                drawn.push_back({int(c), 0, int(k), int(f), 0});
            }
            pairs[i] = EvidencePair{DegreesOf(drawn).Mi1, DegreesOf(drawn).Mi2};
        }
        const GrausDoResultado network = WindowsNetwork(pairs);
        const auto centre = AnalisarBaricentro(
            ParesComRespostas(pairs, FatoresSemRespostas(in.pares, answers)), in.pesos, in.nivel);
        for (const auto& [k, g] :
             {std::pair{0, network},
              std::pair{1, GrausDoResultado{centre->graus.G1, centre->graus.G2}}}) {
            const Decisao decision = DecisaoDoResultado(g.G1, g.G2, in.nivel);
            ++shares[k].vezes[std::size_t(decision.veredito)][std::size_t(decision.ressalva)];
        }
    }
    return shares;
}

// A problem of 4 factors and one of 5 with weights, each near enough to its level for the
// draws to disagree.
std::vector<EntradaDaSensibilidade> MixedSources() {
    const Factor a = {{2, 3, 1, 4, 5}, {0, 1, 2, 6, 1}, {3, 0, 0, 2, 4}};
    const Factor b = {{1, 1, 1, 1, 1}, {4, 0, 2, 5, 0}};
    const Factor c = {{0, 2, 0, 7, 1}, {1, 1, 3, 3, 2}, {2, 2, 2, 2, 2}, {0, 0, 1, 1, 1}};
    const Factor d = {{5, 1, 0, 3, 6}};
    EntradaDaSensibilidade five = Own({a, b, c, d, b}, 0.2);
    five.pesos = {1, 3, 2, 10, 1};
    return {Own({a, b, c, d}, 0.05), five};
}

// The quick path (the evidence's groups, remembered degrees, the networks on keys) ends
// where the plain computation does, on any number of threads; another seed draws
// otherwise.
TEST(AnalisarSensibilidade, DrawsAreThePlainAnalysisOfResampledCounts) {
    for (const EntradaDaSensibilidade& in : MixedSources()) {
        const auto plain = Plainly(in, 7, 300);
        const Sensibilidade one = AnalisarSensibilidade(in, Draws(300, 1, 7));
        const Sensibilidade three = AnalisarSensibilidade(in, Draws(300, 3, 7));
        const Sensibilidade other = AnalisarSensibilidade(in, Draws(300, 1, 8));
        ASSERT_TRUE(one.reamostrada && one.baricentro);
        EXPECT_EQ(one.rede.partilha.vezes, plain[0].vezes);
        EXPECT_EQ(one.baricentro->partilha.vezes, plain[1].vezes);
        EXPECT_EQ(three.rede.partilha.vezes, plain[0].vezes);
        EXPECT_TRUE(Same(three.rede.regiao, one.rede.regiao));
        EXPECT_TRUE(Same(three.baricentro->regiao, one.baricentro->regiao));
        EXPECT_NE(other.rede.partilha.vezes, plain[0].vezes);
        // Near the level the draws disagree, or this proves little.
        EXPECT_LT(one.rede.partilha.Parcela(one.rede.decisao), 0.9);
    }
}

// Far from the level every draw decides alike. A proposition whose answers all lie on one
// point, one respondent's among them, draws the same counts every time: every draw is then
// the result itself.
TEST(AnalisarSensibilidade, FarFromTheLevelOrFixedEveryDrawDecidesAlike) {
    const Factor against(10, {30, 10, 1, 0, 0});
    const Factor strong(10, {0, 0, 1, 10, 30});
    const Factor a = {{0, 0, 0, 7, 0}, {3, 0, 0, 0, 0}, {0, 0, 0, 0, 1}};
    const Factor b = {{0, 0, 4, 0, 0}, {0, 0, 0, 1, 0}, {0, 2, 0, 0, 0}};
    const struct {
        EntradaDaSensibilidade in;
        bool fixed;
    } cases[] = {{Own({against, against, against, against}), false},
                 {Table({strong, strong, strong, strong}), false},
                 {Own({a, b, a, b, a}), true},
                 {Table({a, b, b, a}), true}};
    for (const auto& c : cases) {
        const Sensibilidade r = AnalisarSensibilidade(c.in, Draws(500));
        EXPECT_EQ(r.rede.partilha.Parcela(r.rede.decisao), 1.0);
        EXPECT_EQ(r.baricentro->partilha.Parcela(r.baricentro->decisao), 1.0);
        if (!c.fixed) continue;
        ASSERT_EQ(r.rede.regiao.size(), 1u);
        EXPECT_TRUE(r.rede.regiao[0].G1n == r.rede.graus.G1n &&
                    r.rede.regiao[0].G2n == r.rede.graus.G2n);
    }
}

TEST(AnalisarSensibilidade, FewRespondentsGiveAWiderRegionThanMany) {
    const auto spread = [](int k) {
        const Factor f(10, {k, 0, k, 0, k});
        return AnalisarSensibilidade(Own({f, f, f, f}), Draws(1000));
    };
    const Sensibilidade few = spread(1);
    const Sensibilidade many = spread(50);
    EXPECT_EQ(few.rede.graus.G1, many.rede.graus.G1);
    // Counter-clockwise, so of positive area.
    EXPECT_GT(Area(many.rede.regiao), 0);
    EXPECT_GT(Area(few.rede.regiao), 10 * Area(many.rede.regiao));
}

// Two factors through the 2-factor network, mu and lambda each the smaller one: (0.9, 0.1)
// and (0.6, 0.3) combine into (0.6, 0.1), Gc 0.50 and Gct -0.30.
TEST(AnalisarSensibilidade, LeavingOutAndLevelsOnAHandCheckedCase) {
    const Factor f1 = {{1, 0, 0, 9, 0}};
    const Factor f2 = {{3, 0, 1, 6, 0}};
    const Sensibilidade r = AnalisarSensibilidade(Own({f1, f2}), Draws(50));
    EXPECT_EQ(r.rede.decisao, kViavel);
    // Either factor left out enters as (0, 0), and so does the result.
    EXPECT_EQ(r.rede.semOFator, (Decisions{kIncompleto, kIncompleto}));
    EXPECT_EQ(FatoresDecisivos(r.rede), (std::vector<int>{1, 2}));
    EXPECT_EQ(r.rede.faixa, (FaixaDeNiveis{degree(0.31), degree(0.5)}));
    // The barycentre (0.75, 0.20), Gc 0.55: without factor 1 it is factor 2's pair (Gc
    // 0.30), without factor 2 factor 1's (Gc 0.80).
    EXPECT_EQ(r.baricentro->semOFator, (Decisions{kNaoConclusivo, kViavel}));
    EXPECT_EQ(r.baricentro->faixa, (FaixaDeNiveis{degree(0.06), degree(0.55)}));

    // The same pairs twice each in the table: every OR finds the other copy, so no block
    // decides the network; the barycentre without a (0.9, 0.1) falls to Gc 0.47.
    const Sensibilidade t = AnalisarSensibilidade(Table({f1, f1, f2, f2}), Draws(50));
    EXPECT_EQ(t.rede.semOFator, (Decisions{kViavel, kViavel, kViavel, kViavel}));
    EXPECT_EQ(FatoresDecisivos(*t.baricentro), (std::vector<int>{1, 2}));

    // A barycentre of one answered factor has nothing left without it.
    const Sensibilidade lone = AnalisarSensibilidade(Own({f1, Factor{{}}}), Draws(50));
    EXPECT_EQ(lone.baricentro->semOFator, (Decisions{std::nullopt, lone.baricentro->decisao}));
}

// Three factors through (f1 OR f2) AND f3 over the stored pairs (0.9, 0.1), (0.7, 0.2)
// and (0.6, 0.3): (0.6, 0.2), Gc 0.40.
TEST(AnalisarSensibilidade, PairsTheCountsDoNotGiveCannotBeDrawn) {
    const Factor f1 = {{1, 0, 0, 9, 0}};
    const Factor f3 = {{3, 0, 1, 6, 0}};
    const Factor second[] = {
        {{0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},   // typed: a pair without counts
        {{1, 0, 0, 1, 0}},                    // stale: counts changed since
        {{2, 0, 1, 7, 0}, {1, -1, 0, 0, 0}},  // the pair, but -1 is no respondents
    };
    for (const Factor& f2 : second) {
        EntradaDaSensibilidade in = Own({f1, f2, f3});
        in.pares[1] = EvidencePair{0.7, 0.2};
        const Sensibilidade r = AnalisarSensibilidade(in, Draws(100));
        EXPECT_FALSE(r.reamostrada);
        EXPECT_EQ(r.semReamostragem, (std::vector<int>{2}));
        EXPECT_EQ(r.rede.partilha.sorteios, 0);
        EXPECT_TRUE(r.rede.regiao.empty() && r.baricentro->regiao.empty());
        // The rest is there.
        EXPECT_EQ(r.rede.semOFator, (Decisions{kNaoConclusivo, kViavel, kIncompleto}));
        EXPECT_EQ(r.rede.faixa, (FaixaDeNiveis{degree(0.41), degree(1)}));
    }
    // A factor without a stored pair enters every draw without one; the others are drawn.
    EntradaDaSensibilidade in = Own({f1, {{1, 0, 0, 1, 0}}, f3});
    in.pares[1].reset();
    EXPECT_TRUE(AnalisarSensibilidade(in, Draws(100)).reamostrada);
}

TEST(AnalisarSensibilidade, ReportsProgressAndStopsWhenCancelled) {
    const EntradaDaSensibilidade in = MixedSources().back();
    std::vector<int> seen;
    OpcoesDaSensibilidade op = Draws(1000, 2);
    op.progresso = [&](int done, int total) { seen.push_back(total == 1000 ? done : -1); };
    EXPECT_TRUE(AnalisarSensibilidade(in, op).reamostrada);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()) && seen.front() > 0);
    EXPECT_EQ(seen.back(), 1000);

    std::atomic<bool> cancel{false};
    op = Draws(1000, 1);
    op.cancelar = &cancel;
    op.progresso = [&](int, int) { cancel = true; };
    const Sensibilidade stopped = AnalisarSensibilidade(in, op);
    EXPECT_TRUE(stopped.interrompida && !stopped.reamostrada);
    EXPECT_EQ(stopped.rede.partilha.sorteios, 0);
    EXPECT_EQ(stopped.rede.semOFator.size(), 5u);
}

TEST(AnalisarSensibilidade, RefusesWhatNoAnalysisHas) {
    const Factor f = {{1, 2, 3, 4, 5}};
    EntradaDaSensibilidade weights = Own({f, f, f});
    weights.pesos[2] = 11;
    for (const EntradaDaSensibilidade& in :
         {Own({f}), Own(std::vector<Factor>(9, f)), Table({f, f, f}), weights, Own({f, f}, 0.505)})
        EXPECT_THROW(AnalisarSensibilidade(in, Draws(10)), std::invalid_argument);
}

GrausDoResultado At(int g1, int g2) {
    return {Fixed4::FromTicks(g1), Fixed4::FromTicks(g2)};
}

PontoNormalizado Shown(int g1, int g2) {
    return {(g1 + 10000) / 20000.0, (g2 + 10000) / 20000.0};
}

TEST(RegiaoDos90PorCento, HullOfTheNearestNineTenths) {
    const std::vector<GrausDoResultado> square{At(-100, -100), At(100, -100), At(100, 100),
                                               At(-100, 100),  At(0, 0),      At(50, 0),
                                               At(0, 50),      At(10, 10)};
    auto far = square;
    far.insert(far.end(), {At(0, 0), At(5000, 5000)});
    auto tie = square;
    tie.insert(tie.end(), {At(300, 0), At(0, 300)});
    const struct {
        std::vector<GrausDoResultado> draws;
        std::vector<PontoNormalizado> expected;
    } cases[] = {
        // Counter-clockwise from the lowest G1n; the farthest tenth is left out, a tie at
        // the edge going to the earlier draw.
        {far, {Shown(-100, -100), Shown(100, -100), Shown(100, 100), Shown(-100, 100)}},
        {tie,
         {Shown(-100, -100), Shown(100, -100), Shown(300, 0), Shown(100, 100), Shown(-100, 100)}},
        {{At(0, 0), At(20, 10), At(40, 20), At(-20, -10)}, {Shown(-20, -10), Shown(40, 20)}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Same(RegiaoDos90PorCento(c.draws, At(0, 0)), c.expected)) << c.draws.size();
}

// On pairs of four decimals the quick network ends where the windows' networks do. The
// degrees come from few values, so that ties of four and of two decimals are common, and
// some factors have no pair.
TEST(RedeNumerica, EndsWhereTheWindowsNetworksDo) {
    Gerador g = GeradorDoSorteio(8, 8);
    constexpr double kDegrees[] = {0, 0.1, 0.2049, 0.205, 0.2051, 0.5, 0.4951, 0.5049, 1};
    for (int factors = 2; factors <= 8; ++factors) {
        for (int round = 0; round < 3000; ++round) {
            std::vector<std::optional<EvidencePair>> pairs(static_cast<std::size_t>(factors));
            for (auto& pair : pairs)
                if (g() % 8) pair = EvidencePair{kDegrees[g() % 9], kDegrees[g() % 9]};
            ASSERT_EQ(RedeNumerica(factors)(pairs), WindowsNetwork(pairs)) << factors << " factors";
        }
    }
}

// The remembered degrees are DegreesOf of the sums, also for sums that share an entry.
TEST(ParesDasSomas, AreTheStoredDegreesOfTheSums) {
    ParesDasSomas pairs(3000);
    for (const std::int32_t s : {17, 17 + 256, 17 + 512, 17, 2999, 3000, 0}) {
        EXPECT_EQ(pairs(s, 0).Mi2, DegreesOf(std::vector<Counts>{{s, 0, 3000 - s, 0, 0}}).Mi2);
        EXPECT_EQ(pairs(0, s).Mi1, DegreesOf(std::vector<Counts>{{0, 0, 3000 - s, s, 0}}).Mi1);
    }
}

}  // namespace
}  // namespace vpl::core

#include "engine/resampling.h"

#include <bit>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace vpl::core {
namespace {

constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15;

}  // namespace

std::uint64_t SplitMix64(std::uint64_t& state) {
    std::uint64_t z = (state += kGolden);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
    return z ^ (z >> 31);
}

Gerador GeradorDoSorteio(std::uint64_t seed, std::uint64_t draw) {
    std::uint64_t state = seed + 4 * draw * kGolden;
    std::array<std::uint64_t, 4> s{};
    for (std::uint64_t& word : s) word = SplitMix64(state);
    return Gerador(s);
}

namespace {

// ln 2 in two parts, the first exact times any exponent of a double.
constexpr double kLn2High = 0.693147180369123816490;
constexpr double kLn2Low = 1.90821492927058770002e-10;

// log m = 2 atanh s = 2 (s + s³/3 + s⁵/5 + ...), s = (m - 1) / (m + 1), for m in
// [√½, √2), |s| < 0.172: slow, and only for the table below.
double SeriesLog(double x) {
    int e = 0;
    double m = std::frexp(x, &e);
    if (m < 0.70710678118654752440) {
        m *= 2;
        --e;
    }
    const double s = (m - 1) / (m + 1);
    const double s2 = s * s;
    double series = 1.0 / 23;
    for (int k = 21; k >= 1; k -= 2) series = series * s2 + 1.0 / k;
    return e * kLn2High + (e * kLn2Low + 2 * s * series);
}

// The mantissa's first 8 bits pick the left end c of a 256th of [1, 2); log c and 1 / c
// are kept. So log 1 is exactly 0.
constexpr int kLogBits = 8;
struct LogTable {
    std::array<double, 1 << kLogBits> log;
    std::array<double, 1 << kLogBits> inverse;
};

const LogTable& Logs() {
    static const LogTable table = [] {
        LogTable t{};
        for (int i = 0; i < (1 << kLogBits); ++i) {
            const double c = 1 + static_cast<double>(i) / (1 << kLogBits);
            t.log[std::size_t(i)] = SeriesLog(c);
            t.inverse[std::size_t(i)] = 1 / c;
        }
        return t;
    }();
    return table;
}

}  // namespace

double LogaritmoPortavel(double x) {
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const int biased = static_cast<int>(bits >> 52);  // the sign bit makes a negative x large
    if (biased == 0 || biased >= 0x7FF) {
        if (x == 0) return -std::numeric_limits<double>::infinity();
        if (!(x > 0)) return std::numeric_limits<double>::quiet_NaN();
        if (std::isinf(x)) return x;
        return SeriesLog(x);  // subnormal
    }
    // x = 2^e · m, m in [1, 2); log m = log c + log(1 + t), t = m / c - 1, 0 <= t < 2⁻⁸.
    const int e = biased - 1023;
    const std::size_t i = static_cast<std::size_t>(bits >> (52 - kLogBits)) & ((1 << kLogBits) - 1);
    const double m = std::bit_cast<double>((bits & 0x000FFFFFFFFFFFFFu) | 0x3FF0000000000000u);
    const LogTable& table = Logs();
    const double t = m * table.inverse[i] - 1;
    const double near =
        t * (1 + t * (-1.0 / 2 + t * (1.0 / 3 + t * (-1.0 / 4 + t * (1.0 / 5 - t / 6)))));
    return e * kLn2High + (table.log[i] + (e * kLn2Low + near));
}

namespace {

double Power(double base, std::int64_t exponent) {
    double result = 1;
    for (auto e = static_cast<std::uint64_t>(exponent); e; e >>= 1) {
        if (e & 1) result *= base;
        base *= base;
    }
    return result;
}

// log k! - ((k + ½) log(k + 1) - (k + 1) + ½ log 2π), the tail of Stirling's series.
double StirlingTail(double k) {
    static constexpr double kSmall[] = {
        0.08106146679532726,  0.04134069595540929, 0.02767792568499834, 0.02079067210376509,
        0.01664469118982119,  0.01387612882307075, 0.01189670994589177, 0.01041126526197209,
        0.009255462182712733, 0.008330563433362871};
    if (k < 10) return kSmall[static_cast<int>(k)];
    const double inverse = 1 / (k + 1);
    const double square = inverse * inverse;
    return (1.0 / 12 - (1.0 / 360 - square / 1260) * square) * inverse;
}

}  // namespace

Binomial::Binomial(std::int64_t n, std::int64_t a, std::int64_t b) : n_(n) {
    if (n < 0 || a < 0 || b <= 0 || a > b) throw std::invalid_argument("no binomial chance");
    if (n == 0 || a == 0) return;
    if (a == b) {
        kind_ = Kind::All;
        return;
    }
    complement_ = 2 * a > b;
    if (complement_) a = b - a;
    const double p = static_cast<double>(a) / static_cast<double>(b);
    const double q = static_cast<double>(b - a) / static_cast<double>(b);
    const double nd = static_cast<double>(n);
    r_ = static_cast<double>(a) / static_cast<double>(b - a);
    if (nd * p < 10) {
        kind_ = Kind::Inversion;
        atZero_ = Power(q, n);
        return;
    }
    kind_ = Kind::Rejection;
    const double spq = std::sqrt(nd * p * q);
    b_ = 1.15 + 2.53 * spq;
    a_ = -0.0873 + 0.0248 * b_ + 0.01 * p;
    c_ = nd * p + 0.5;
    vr_ = 0.92 - 4.2 / b_;
    alpha_ = (2.83 + 5.1 / b_) * spq;
    m_ = std::floor((nd + 1) * p);
}

std::int64_t Binomial::operator()(Gerador& g) const {
    std::int64_t x = 0;
    switch (kind_) {
        case Kind::None:
            return 0;
        case Kind::All:
            return n_;
        case Kind::Inversion:
            x = Inversion(g);
            break;
        case Kind::Rejection:
            x = Rejection(g);
            break;
    }
    return complement_ ? n_ - x : x;
}

// Inversion, for a mean below 10: the successes x are counted up while the uniform is
// above the chance of x. So far out that no double tells it from 0, a draw starts again.
std::int64_t Binomial::Inversion(Gerador& g) const {
    const std::int64_t last = std::min<std::int64_t>(n_, 110);
    for (;;) {
        double u = g.Uniforme();
        double f = atZero_;
        std::int64_t x = 0;
        while (u > f && x < last) {
            u -= f;
            ++x;
            f *= r_ * static_cast<double>(n_ - x + 1) / static_cast<double>(x);
        }
        if (u <= f) return x;
    }
}

// BTRS (W. Hörmann, The generation of binomial random variates, 1993), for a mean of 10
// and more: two uniforms a try, most accepted inside the box without a logarithm.
std::int64_t Binomial::Rejection(Gerador& g) const {
    const double nd = static_cast<double>(n_);
    // The bound's terms at the mode, worked out the first time a try needs them.
    double atMode = std::numeric_limits<double>::quiet_NaN();
    for (;;) {
        const double u = g.Uniforme() - 0.5;
        double v = g.Uniforme();
        const double us = 0.5 - std::fabs(u);
        const double k = std::floor((2 * a_ / us + b_) * u + c_);
        if (k < 0 || k > nd) continue;
        if (us >= 0.07 && v <= vr_) return static_cast<std::int64_t>(k);
        v = LogaritmoPortavel(v * alpha_ / (a_ / (us * us) + b_));
        if (std::isnan(atMode))
            atMode = (m_ + 0.5) * LogaritmoPortavel((m_ + 1) / (r_ * (nd - m_ + 1))) +
                     StirlingTail(m_) + StirlingTail(nd - m_);
        const double bound = atMode + (nd + 1) * LogaritmoPortavel((nd - m_ + 1) / (nd - k + 1)) +
                             (k + 0.5) * LogaritmoPortavel(r_ * (nd - k + 1) / (k + 1)) -
                             StirlingTail(k) - StirlingTail(nd - k);
        if (v <= bound) return static_cast<std::int64_t>(k);
    }
}

TabelaBinomial::Window TabelaBinomial::Outcomes(std::int64_t n, std::int64_t a, std::int64_t b) {
    if (n < 0 || a < 0 || b <= 0 || a > b) throw std::invalid_argument("no binomial chance");
    if (n == 0 || a == 0) return {0, 0, 1};
    if (a == b) return {n, n, 1};
    const double p = static_cast<double>(a) / static_cast<double>(b);
    const double q = static_cast<double>(b - a) / static_cast<double>(b);
    const double nd = static_cast<double>(n);
    const std::int64_t mode = std::min(n, static_cast<std::int64_t>(std::floor((nd + 1) * p)));
    const auto reach = static_cast<std::int64_t>(std::ceil(10 * std::sqrt(nd * p * q))) + 10;
    const std::int64_t first = std::max<std::int64_t>(0, mode - reach);
    return {first, mode, std::min(n, mode + reach) - first + 1};
}

std::int64_t TabelaBinomial::Tamanho(std::int64_t n, std::int64_t a, std::int64_t b) {
    return Outcomes(n, a, b).size;
}

TabelaBinomial::TabelaBinomial(std::int64_t n, std::int64_t a, std::int64_t b) {
    const auto [first, mode, size] = Outcomes(n, a, b);
    first_ = first;
    if (size == 1) return;
    const double r = static_cast<double>(a) / static_cast<double>(b - a);
    // The chances relative to the mode's, by the ratio of neighbours, then cumulated.
    std::vector<double> weight(static_cast<std::size_t>(size));
    const std::size_t at = static_cast<std::size_t>(mode - first_);
    weight[at] = 1;
    for (std::int64_t k = mode; k > first_; --k) {
        const std::size_t i = static_cast<std::size_t>(k - first_);
        weight[i - 1] = weight[i] * static_cast<double>(k) / (static_cast<double>(n - k + 1) * r);
    }
    for (std::int64_t k = mode; k < first_ + size - 1; ++k) {
        const std::size_t i = static_cast<std::size_t>(k - first_);
        weight[i + 1] = weight[i] * (static_cast<double>(n - k) * r) / static_cast<double>(k + 1);
    }
    double total = 0;
    for (const double w : weight) total += w;
    cumulative_.resize(weight.size());
    double sum = 0;
    for (std::size_t i = 0; i < weight.size(); ++i) {
        sum += weight[i];
        cumulative_[i] = sum / total;
    }
    cumulative_.back() = 1;
    guide_.resize(weight.size());
    std::size_t j = 0;
    for (std::size_t i = 0; i < guide_.size(); ++i) {
        const double from = static_cast<double>(i) / static_cast<double>(guide_.size());
        while (cumulative_[j] <= from) ++j;
        guide_[i] = static_cast<std::uint32_t>(j);
    }
}

SorteioDaProposicao::SorteioDaProposicao(const Counts& counts) {
    std::int64_t sum = 0;
    for (const std::int32_t count : counts) {
        if (count < 0) throw std::invalid_argument("a count below 0 is no respondents");
        sum += count;
    }
    if (sum > std::numeric_limits<std::int32_t>::max())
        throw std::invalid_argument("a proposition holds more answers than a draw takes");
    n_ = sum;
    groups_ = {std::int64_t{counts[0]} + counts[1], counts[2], std::int64_t{counts[3]} + counts[4]};
    if (n_ == 0) return;
    const std::int64_t contrary = groups_[0];
    const std::int64_t others = groups_[1] + groups_[2];
    if (TabelaBinomial::Tamanho(n_, contrary, n_) <= kMaiorTabela)
        contraryTable_.emplace(n_, contrary, n_);
    else
        contrary_ = Binomial(n_, contrary, n_);
    if (groups_[1] == 0 || groups_[2] == 0) return;  // the rest all of one group

    const double nd = static_cast<double>(n_);
    const double p = static_cast<double>(contrary) / nd;
    likelyRest_ = n_ - std::min(n_, static_cast<std::int64_t>(std::floor((nd + 1) * p)));
    if (std::sqrt(nd * p * (1 - p)) <= kMaiorDesvio &&
        TabelaBinomial::Tamanho(likelyRest_, groups_[1], others) <= kMaiorTabela) {
        neutralTable_.emplace(likelyRest_, groups_[1], others);
        neutralChance_ = static_cast<double>(groups_[1]) / static_cast<double>(others);
    }
}

std::array<std::int64_t, 3> SorteioDaProposicao::operator()(Gerador& g) const {
    if (n_ == 0) return {};
    const std::int64_t contrary = contraryTable_ ? (*contraryTable_)(g) : contrary_(g);
    const std::int64_t rest = n_ - contrary;
    std::int64_t neutral = 0;
    if (groups_[2] == 0) {
        neutral = rest;
    } else if (groups_[1] == 0) {
        neutral = 0;
    } else if (!neutralTable_) {
        neutral = Binomial(rest, groups_[1], groups_[1] + groups_[2])(g);
    } else {
        neutral = (*neutralTable_)(g);
        // From m* trials to m: a trial more succeeds by its chance; a trial taken away is
        // one of the successes as often as successes are among the trials left.
        for (std::int64_t trials = likelyRest_; trials < rest; ++trials)
            neutral += g.Uniforme() < neutralChance_;
        for (std::int64_t trials = likelyRest_; trials > rest; --trials)
            neutral -= g.Uniforme() * static_cast<double>(trials) < static_cast<double>(neutral);
    }
    return {contrary, neutral, rest - neutral};
}

}  // namespace vpl::core

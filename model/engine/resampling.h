#pragma once

// Random draws that come out the same on every machine. The standard library's
// distributions and its logarithm may differ from one library to another, so the
// generator, the binomial and the logarithm it needs are written here, on integers and on
// the four operations and the square root, which IEEE 754 rounds alike everywhere.

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/counts.h"

namespace vpl::core {

// One step of splitmix64 from `state`, which it advances.
std::uint64_t SplitMix64(std::uint64_t& state);

// xoshiro256**.
class Gerador {
  public:
    explicit Gerador(const std::array<std::uint64_t, 4>& state) : s_(state) {}
    std::uint64_t operator()() {
        const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
        const std::uint64_t t = s_[1] << 17;
        s_[2] ^= s_[0];
        s_[3] ^= s_[1];
        s_[1] ^= s_[2];
        s_[0] ^= s_[3];
        s_[2] ^= t;
        s_[3] = rotl(s_[3], 45);
        return result;
    }
    // Uniform on [0, 1): the top 53 bits of an output.
    double Uniforme() { return static_cast<double>((*this)() >> 11) * 0x1.0p-53; }

  private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::array<std::uint64_t, 4> s_;
};

// The generator of draw `draw` of a run seeded `seed`: four steps of splitmix64 from the
// draw's own stretch of the sequence that starts at `seed`. A draw so depends on nothing
// but its index, and the draws may be shared out over threads in any way.
Gerador GeradorDoSorteio(std::uint64_t seed, std::uint64_t draw);

// The natural logarithm, the same on every machine, to about 10⁻¹⁶ of its value (near 1, of
// 1); -infinity at 0.
double LogaritmoPortavel(double x);

// Successes in n trials of chance a / b (0 <= a <= b, b > 0, else std::invalid_argument).
// Inversion below a mean of 10, else Hörmann's transformed rejection with squeeze (BTRS),
// both on the generator's uniforms and the logarithm above; a chance above one half draws
// its complement. What does not change from draw to draw is worked out once.
class Binomial {
  public:
    Binomial() = default;
    Binomial(std::int64_t n, std::int64_t a, std::int64_t b);
    std::int64_t operator()(Gerador& gerador) const;

  private:
    std::int64_t Inversion(Gerador& g) const;
    std::int64_t Rejection(Gerador& g) const;
    enum class Kind { None, All, Inversion, Rejection };
    Kind kind_ = Kind::None;
    std::int64_t n_ = 0;
    bool complement_ = false;
    double r_ = 0;       // p / q
    double atZero_ = 0;  // inversion: q^n
    // Rejection: the box and hat of BTRS, and the mode.
    double a_ = 0, b_ = 0, c_ = 0, vr_ = 0, alpha_ = 0, m_ = 0;
};

// The chances of a binomial worked out once, to be drawn by inversion: a uniform u is the
// first outcome whose cumulated chance exceeds u, found from where a guide points. The
// outcomes lie within ten standard deviations and 10 of the mode; those beyond, together
// below 10⁻²⁰, are left out.
class TabelaBinomial {
  public:
    // n trials of chance a / b (0 <= a <= b, b > 0), else std::invalid_argument.
    TabelaBinomial(std::int64_t n, std::int64_t a, std::int64_t b);
    // The outcomes kept, for a chance that is neither 0 nor 1 (else 1).
    static std::int64_t Tamanho(std::int64_t n, std::int64_t a, std::int64_t b);
    std::int64_t operator()(Gerador& gerador) const {
        if (cumulative_.empty()) return first_;
        const double u = gerador.Uniforme();
        std::size_t j = guide_[std::min(
            guide_.size() - 1, static_cast<std::size_t>(u * static_cast<double>(guide_.size())))];
        while (cumulative_[j] <= u) ++j;
        return first_ + static_cast<std::int64_t>(j);
    }

  private:
    struct Window {
        std::int64_t first;
        std::int64_t mode;
        std::int64_t size;
    };
    static Window Outcomes(std::int64_t n, std::int64_t a, std::int64_t b);
    std::int64_t first_ = 0;
    std::vector<double> cumulative_;    // the last one is 1
    std::vector<std::uint32_t> guide_;  // guide_[i]: the first outcome above i / size
};

// One proposition drawn again: its n respondents replaced by n picked at random, with
// replacement, from the answers given, that is a multinomial of n with chances count / n.
// Told by the evidence's groups, contrary (DT + D), neutral (I) and favourable (C + CT),
// which is the multinomial of the groups' counts: the contrary ones a binomial of n, then
// the neutral ones a binomial of the m left.
//
// The first binomial comes from its table. For the second, whose m changes from draw to
// draw, a table is kept for the most likely m*, and the draw is made to m trials: each
// trial more is one more chance, and each trial fewer takes away one of those drawn, a
// success as often as successes are among them. Where the first binomial spreads wide, so
// that many trials would be added or taken away, or a table would grow large, the
// binomials are drawn by Binomial instead. Chances are doubles: a draw is exact to their
// precision.
class SorteioDaProposicao {
  public:
    // Counts not below 0 and at most 2³¹ - 1 answers in all, else std::invalid_argument.
    explicit SorteioDaProposicao(const Counts& counts);
    std::int64_t respondentes() const { return n_; }
    std::array<std::int64_t, 3> operator()(Gerador& gerador) const;

    // Beyond these a binomial is drawn by Binomial: a table of more outcomes, and the
    // first binomial's standard deviation, which the trials added or taken away follow.
    static constexpr std::int64_t kMaiorTabela = 2048;
    static constexpr double kMaiorDesvio = 16;

  private:
    std::int64_t n_ = 0;
    std::array<std::int64_t, 3> groups_{};
    std::optional<TabelaBinomial> contraryTable_;
    Binomial contrary_;
    std::optional<TabelaBinomial> neutralTable_;  // of m* trials
    std::int64_t likelyRest_ = 0;                 // m*
    double neutralChance_ = 0;                    // of one trial more
};

}  // namespace vpl::core

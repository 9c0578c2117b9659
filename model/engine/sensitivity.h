#pragma once

// How sure the decision is: the analysis run again on the respondents drawn again, the
// decision with each factor left out, and the requirement levels that keep it. A pure
// function meant for a worker thread; nothing here touches the interface.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "core/counts.h"
#include "core/fixed4.h"
#include "engine/decision_rule.h"
#include "engine/logical_state.h"
#include "engine/networks.h"
#include "engine/paraconsistent.h"

namespace vpl::core {

enum class FonteDaAnalise {
    FatoresProprios,     // the user's factors: their stored pairs through the window's network
    TabelaDeReferencia,  // the reference table's four blocks of counts
};

struct EntradaDaSensibilidade {
    FonteDaAnalise fonte = FonteDaAnalise::FatoresProprios;
    // Per factor, 2 to 8 of them (4 runs the four-factor network, any other count its
    // family network), or per block of the reference table, exactly 4: the propositions'
    // answer counts as stored.
    std::vector<std::vector<Counts>> contagens;
    // The user's factors only: each one's stored pair, nothing where the file holds no
    // numbers. The result is that of these pairs, as the windows show it.
    std::vector<std::optional<EvidencePair>> pares;
    // The user's factors only: those without answers (1-based), as the analysis found them
    // from the file, which may know less of the counts than `contagens` holds; worked out
    // from `contagens` when not given.
    std::optional<std::vector<int>> semRespostas;
    // Per factor or block, 1 to 10.
    std::vector<int> pesos;
    Fixed4 nivel = kNivelDeExigenciaPadrao;
};

struct OpcoesDaSensibilidade {
    std::uint64_t semente = 0x5EB5'17F1'DADE'0001;
    int sorteios = 1000;
    // Threads drawing; 0 for one per core. The result does not depend on it.
    int linhasDeExecucao = 0;
    // Called on the calling thread now and then with the draws done so far.
    std::function<void(int feitos, int total)> progresso;
    // Set from elsewhere to stop the draws; the result then says it was interrupted.
    const std::atomic<bool>* cancelar = nullptr;
};

// How many draws gave each decision.
struct PartilhaDasDecisoes {
    int sorteios = 0;
    std::array<std::array<int, 3>, 3> vezes{};  // [Veredito][Ressalva]
    int Vezes(Veredito veredito) const;
    int Vezes(Decisao decisao) const;
    // Shares of the draws, 0 when there were none.
    double Parcela(Veredito veredito) const;
    double Parcela(Decisao decisao) const;
};

// A point of the lattice picture: G1n across, ~G2n up.
struct PontoNormalizado {
    double G1n = 0.0;
    double G2n = 0.0;
};

struct GrausDoResultado {
    Fixed4 G1;
    Fixed4 G2;
    bool operator==(const GrausDoResultado&) const = default;
};

// The region of the draws' results to draw faintly around the result: the convex hull of
// the 90 % of them (rounded up) nearest to it, nearest by distance on the lattice, a tie
// going to the earlier draw. Counter-clockwise from the lowest G1n (the lowest ~G2n
// among those); one point or two when the nearest lie on one point or one line; empty
// without draws. So a few far-flung draws do not blow the region up.
std::vector<PontoNormalizado> RegiaoDos90PorCento(std::span<const GrausDoResultado> draws,
                                                  GrausDoResultado result);

// One result, the network's or the barycentre's, and how sure its decision is.
struct SensibilidadeDoResultado {
    Graus graus;  // of the data as they are
    EstadoLogico estado{};
    Decisao decisao;
    PartilhaDasDecisoes partilha;          // over the draws
    std::vector<PontoNormalizado> regiao;  // RegiaoDos90PorCento of the draws
    // Per factor (block), the decision with it left out, entering as a factor without
    // answers does; nothing for a barycentre left without any factor.
    std::vector<std::optional<Decisao>> semOFator;
    FaixaDeNiveis faixa;  // levels over which the decision stays
};

// The factors (1-based) whose leaving out changes the decision.
std::vector<int> FatoresDecisivos(const SensibilidadeDoResultado& resultado);

struct Sensibilidade {
    SensibilidadeDoResultado rede;
    // Nothing when no factor has answers.
    std::optional<SensibilidadeDoResultado> baricentro;
    // The draws were made. They cannot be when a factor's stored pair is not what its
    // counts give (typed by hand, or counts changed since), or a count is below 0 or too
    // large to draw; the leave-one-out decisions and the level ranges are there all the same.
    bool reamostrada = false;
    std::vector<int> semReamostragem;  // those factors (blocks), 1-based
    bool interrompida = false;         // stopped by OpcoesDaSensibilidade::cancelar
};

// Each draw resamples every proposition's respondents (SorteioDaProposicao, on the
// generator of the draw's index), gives each factor the pair its stored rule gives the new
// counts, and runs the network and the barycentre on them. A factor without a stored pair
// keeps none. std::invalid_argument for a factor count or block count the sources do not
// have, sizes that disagree, a weight outside 1..10, a level that is no step of 0.01 from
// 0 to 1, or fewer than 1 draw.
Sensibilidade AnalisarSensibilidade(const EntradaDaSensibilidade& entrada,
                                    const OpcoesDaSensibilidade& opcoes = {});

// The user's factors' network as the draws run it, on fixed-point keys alone: for pairs
// of four decimals, as every stored pair is, it ends in the degrees of Rede4f for 4 factors
// and of AnalisarFatoresProprios on FamilyNetwork for the other counts, without their texts.
class RedeNumerica {
  public:
    // 2 to 8 factors; std::out_of_range for other counts.
    explicit RedeNumerica(int factors);
    GrausDoResultado operator()(std::span<const std::optional<EvidencePair>> pairs) const;

  private:
    GrausDoResultado FourFactors(std::span<const std::optional<EvidencePair>> pairs) const;
    int factors_;
    std::vector<Operator> kinds_;
    std::vector<std::vector<CellJoin>> joins_;
};

// The pair a factor with `total` answers keeps when `contrary` of them are DT or D and
// `favourable` C or CT: DegreesOf of such counts, which depends on nothing else. It keeps
// the degrees it has worked out, since the draws of one factor meet the same sums often.
class ParesDasSomas {
  public:
    explicit ParesDasSomas(std::int64_t total);
    EvidencePair operator()(std::int64_t contrary, std::int64_t favourable);

  private:
    struct Entry {
        std::int64_t sum = -1;
        double degree = 0.0;
    };
    static constexpr std::size_t kEntries = 256;
    double degree(std::array<Entry, kEntries>& kept, std::int64_t sum, bool favourable);
    std::int64_t total_;
    std::array<Entry, kEntries> contrary_{};
    std::array<Entry, kEntries> favourable_{};
};

}  // namespace vpl::core

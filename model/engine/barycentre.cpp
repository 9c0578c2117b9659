#include "engine/barycentre.h"

#include <stdexcept>

namespace vpl::core {

std::optional<EvidencePair> Baricentro(std::span<const std::optional<EvidencePair>> pairs,
                                       std::span<const int> weights) {
    if (weights.size() != pairs.size())
        throw std::invalid_argument("a barycentre needs one weight per factor");
    double favourable = 0.0;
    double contrary = 0.0;
    int total = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const int w = weights[i];
        if (w < kPesoMinimo || w > kPesoMaximo)
            throw std::invalid_argument("a factor's weight is a whole number from 1 to 10");
        if (!pairs[i]) continue;
        favourable += w * pairs[i]->Mi1;
        contrary += w * pairs[i]->Mi2;
        total += w;
    }
    if (total == 0) return std::nullopt;
    return EvidencePair{favourable / total, contrary / total};
}

std::vector<std::optional<EvidencePair>> ParesComRespostas(
    std::span<const std::optional<EvidencePair>> pairs, std::span<const int> semRespostas) {
    std::vector<std::optional<EvidencePair>> withAnswers(pairs.begin(), pairs.end());
    for (const int factor : semRespostas)
        if (factor >= 1 && static_cast<std::size_t>(factor) <= withAnswers.size())
            withAnswers[static_cast<std::size_t>(factor) - 1].reset();
    return withAnswers;
}

std::optional<AnaliseDoBaricentro> AnalisarBaricentro(
    std::span<const std::optional<EvidencePair>> pairs, std::span<const int> weights,
    Fixed4 level) {
    const std::optional<EvidencePair> centre = Baricentro(pairs, weights);
    if (!centre) return std::nullopt;
    AnaliseDoBaricentro a;
    a.par = *centre;
    a.graus = GrausParaconsistentes(Fixed4::FromReal(centre->Mi1), Fixed4::FromReal(centre->Mi2));
    a.estado = EstadoDoResultado(a.graus.G1, a.graus.G2, level);
    a.decisao = DecisaoDoResultado(a.graus.G1, a.graus.G2, level);
    return a;
}

}  // namespace vpl::core

#include "export/workbook.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <numeric>

namespace vpl {

namespace {

using core::Alike;

constexpr core::Translated kTexts[] = {
    {"sheetFactor", "Fator", "Factor", "Factor"},
    {"sheetNetwork", "Rede", "Network", "Red"},
    {"sheetResult", "Resultado", "Result", "Resultado", Alike::InSpanish},
    {"number", "Nº", "No.", "N.º"},
    {"proposition", "Proposição", "Proposition", "Proposición"},
    {"total", "Total", "Total", "Total", Alike::InAll},
    {"sum", "Soma", "Sum", "Suma"},
    {"mu", "Grau de crença (mu)", "Degree of belief (mu)", "Grado de creencia (mu)"},
    {"lambda", "Grau de descrença (lambda)", "Degree of disbelief (lambda)",
     "Grado de incredulidad (lambda)"},
    {"cell", "Célula", "Cell", "Celda"},
    {"side", "Lado", "Side", "Lado", Alike::InSpanish},
    {"operator", "Operador", "Operator", "Operador", Alike::InSpanish},
    {"result", "Resultado", "Result", "Resultado", Alike::InSpanish},
    {"operand", "Operando", "Operand", "Operando", Alike::InSpanish},
    {"value", "Valor", "Value", "Valor", Alike::InSpanish},
    {"contrary", "Descrença", "Disbelief", "Incredulidad"},
    {"favourable", "Crença", "Belief", "Creencia"},
    {"or", "OU", "OR", "O"},
    {"and", "E", "AND", "Y"},
    {"muR", "Grau de crença resultante (muR)", "Resulting degree of belief (muR)",
     "Grado de creencia resultante (muR)"},
    {"lambdaR", "Grau de descrença resultante (lambdaR)", "Resulting degree of disbelief (lambdaR)",
     "Grado de incredulidad resultante (lambdaR)"},
    {"certainty", "Grau de Certeza G1 [-1;1]", "Degree of Certainty G1 [-1;1]",
     "Grado de Certeza G1 [-1;1]"},
    {"contradiction", "Grau de Contradição G2 [-1;1]", "Degree of Contradiction G2 [-1;1]",
     "Grado de Contradicción G2 [-1;1]"},
    {"g2n", "Grau de Não-Contradição Normalizado ~G2n", "Normalised Degree of Non-Contradiction ~G2n",
     "Grado de No Contradicción Normalizado ~G2n"},
    {"g1n", "Grau de Certeza Normalizado G1n", "Normalised Degree of Certainty G1n",
     "Grado de Certeza Normalizado G1n"},
    {"verdictData", "Veredito sobre os dados", "Verdict on the data", "Veredicto sobre los datos"},
    {"verdictOpinion", "Veredito sobre a opinião", "Verdict on the opinion",
     "Veredicto sobre la opinión"},
    {"sentence", "Qualidade dos dados", "Quality of the data", "Calidad de los datos"},
    {"state", "Estado lógico", "Logical state", "Estado lógico", Alike::InSpanish},
    {"level", "Nível de exigência", "Requirement level", "Nivel de exigencia"},
    {"decision", "Decisão", "Decision", "Decisión"},
    {"caveat", "Ressalva", "Caveat", "Salvedad"},
    {"barycentreMu", "Baricentro: grau de crença (mu)", "Barycentre: degree of belief (mu)",
     "Baricentro: grado de creencia (mu)"},
    {"barycentreLambda", "Baricentro: grau de descrença (lambda)",
     "Barycentre: degree of disbelief (lambda)", "Baricentro: grado de incredulidad (lambda)"},
    {"barycentreCertainty", "Baricentro: Grau de Certeza G1", "Barycentre: Degree of Certainty G1",
     "Baricentro: Grado de Certeza G1"},
    {"barycentreContradiction", "Baricentro: Grau de Contradição G2",
     "Barycentre: Degree of Contradiction G2", "Baricentro: Grado de Contradicción G2"},
    {"barycentreState", "Baricentro: estado lógico", "Barycentre: logical state",
     "Baricentro: estado lógico", Alike::InSpanish},
    {"barycentreDecision", "Baricentro: decisão", "Barycentre: decision", "Baricentro: decisión"},
    {"noBarycentre", "Baricentro: nenhum fator tem respostas",
     "Barycentre: no factor has answers", "Baricentro: ningún factor tiene respuestas"},
    {"dialogTitle", "Exportar planilha", "Export spreadsheet", "Exportar hoja de cálculo"},
    {"filter", "Planilha Excel (*.xlsx)", "Excel spreadsheet (*.xlsx)",
     "Hoja de cálculo Excel (*.xlsx)"},
    {"cannotWrite", "Não foi possível gravar o arquivo \"%1\".", "The file \"%1\" could not be written.",
     "No se pudo grabar el archivo \"%1\"."},
    {"error", "Erro", "Error", "Error"},
    {"referenceBlock", "Bloco da tabela de referência", "Block of the reference table",
     "Bloque de la tabla de referencia"},
};

// Writes the cells of one sheet, keeping the first failure: a sheet is written whole or the
// workbook is not kept.
class Sheet {
  public:
    Sheet(lxw_worksheet* sheet, lxw_format* heading, lxw_format* degree, lxw_error& failure)
        : sheet_(sheet), heading_(heading), degree_(degree), failure_(failure) {}

    void text(int row, int column, const std::string& text, bool heading = false) {
        keep(worksheet_write_string(sheet_, lxw_row_t(row), lxw_col_t(column), text.c_str(),
                                    heading ? heading_ : nullptr));
    }
    void count(int row, int column, double value) {
        keep(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), value, nullptr));
    }
    // A degree the window shows as an empty text stays an empty cell.
    void degree(int row, int column, std::optional<double> value) {
        if (value)
            keep(worksheet_write_number(sheet_, lxw_row_t(row), lxw_col_t(column), *value,
                                        degree_));
    }
    void width(int first, int last, double characters) {
        keep(worksheet_set_column(sheet_, lxw_col_t(first), lxw_col_t(last), characters, nullptr));
    }

  private:
    void keep(lxw_error e) {
        if (failure_ == LXW_NO_ERROR) failure_ = e;
    }
    lxw_worksheet* sheet_;
    lxw_format* heading_;
    lxw_format* degree_;
    lxw_error& failure_;
};

class Writer {
  public:
    Writer(lxw_workbook* book, core::Language language) : book_(book), language_(language) {
        heading_ = workbook_add_format(book);
        format_set_bold(heading_);
        degree_ = workbook_add_format(book);
        format_set_num_format(degree_, "0.0000");
    }

    lxw_error failure = LXW_NO_ERROR;

    std::string word(const char* key) const { return core::TextIn(core::Lookup(kTexts, key), language_); }

    // Nothing when the sheet cannot be added; the failure is then kept.
    std::optional<Sheet> sheet(const std::string& name) {
        lxw_worksheet* s = workbook_add_worksheet(book_, name.c_str());
        if (!s) {
            if (failure == LXW_NO_ERROR) failure = LXW_ERROR_MEMORY_MALLOC_FAILED;
            return std::nullopt;
        }
        return Sheet(s, heading_, degree_, failure);
    }

  private:
    lxw_workbook* book_;
    core::Language language_;
    lxw_format* heading_;
    lxw_format* degree_;
};

void factorSheet(Writer& w, int number, const WorkbookFactor& f) {
    auto s = w.sheet(w.word("sheetFactor") + ' ' + std::to_string(number));
    if (!s) return;
    s->text(0, 0, w.word("sheetFactor") + ' ' + std::to_string(number), true);
    s->text(0, 1, f.title, true);
    const char* points[] = {"DT", "D", "I", "C", "CT"};
    s->text(2, 0, w.word("number"), true);
    s->text(2, 1, w.word("proposition"), true);
    for (int k = 0; k < 5; ++k) s->text(2, 2 + k, points[k], true);
    s->text(2, 7, w.word("total"), true);
    core::Counts sums{};
    int row = 3;
    for (std::size_t i = 0; i < f.counts.size(); ++i, ++row) {
        s->count(row, 0, double(i + 1));
        if (i < f.propositions.size()) s->text(row, 1, f.propositions[i]);
        double total = 0;
        for (int k = 0; k < 5; ++k) {
            s->count(row, 2 + k, f.counts[i][k]);
            sums[k] += f.counts[i][k];
            total += f.counts[i][k];
        }
        s->count(row, 7, total);
    }
    s->text(row, 1, w.word("sum"), true);
    for (int k = 0; k < 5; ++k) s->count(row, 2 + k, sums[k]);
    s->count(row, 7, std::accumulate(sums.begin(), sums.end(), 0.0));
    row += 2;
    s->text(row, 1, w.word("mu"), true);
    s->degree(row, 2, f.mu.value);
    s->text(row + 1, 1, w.word("lambda"), true);
    s->degree(row + 1, 2, f.lambda.value);
    s->width(1, 1, 60);
}

void networkSheet(Writer& w, const std::vector<WorkbookCell>& cells) {
    auto s = w.sheet(w.word("sheetNetwork"));
    if (!s) return;
    const char* headings[] = {"cell", "side", "operator", "result"};
    for (int c = 0; c < 4; ++c) s->text(0, c, w.word(headings[c]), true);
    std::size_t operands = 0;
    for (const WorkbookCell& cell : cells) operands = std::max(operands, cell.operands.size());
    for (std::size_t k = 0; k < operands; ++k) {
        s->text(0, int(4 + 2 * k), w.word("operand") + ' ' + std::to_string(k + 1), true);
        s->text(0, int(5 + 2 * k), w.word("value") + ' ' + std::to_string(k + 1), true);
    }
    int row = 1;
    for (const WorkbookCell& cell : cells) {
        s->text(row, 0, cell.result.name);
        s->text(row, 1, w.word(cell.side == core::Side::Contrary ? "contrary" : "favourable"));
        s->text(row, 2, w.word(cell.kind == core::Operator::Or ? "or" : "and"));
        s->degree(row, 3, cell.result.value);
        for (std::size_t k = 0; k < cell.operands.size(); ++k) {
            s->text(row, int(4 + 2 * k), cell.operands[k].name);
            s->degree(row, int(5 + 2 * k), cell.operands[k].value);
        }
        ++row;
    }
    s->width(0, 2, 14);
}

// The decision in words: the verdict and, apart, its caveat.
void decisionRows(Sheet& s, Writer& w, int& row, const char* caption, const std::string& line,
                  const core::Decisao& d, core::Language language) {
    s.text(row, 0, w.word(caption), true);
    s.text(row, 1, std::string(core::NomeDoVeredito(d.veredito, language)));
    s.text(row, 2, line);
    ++row;
    if (d.ressalva == core::Ressalva::Nenhuma) return;
    s.text(row, 0, w.word("caveat"), true);
    s.text(row, 1, std::string(core::TextoDaRessalva(d.ressalva, language)));
    s.text(row, 2, line + " caveat");
    ++row;
}

void resultSheet(Writer& w, const AnalysisWorkbook& b) {
    auto sheet = w.sheet(w.word("sheetResult"));
    if (!sheet) return;
    Sheet& s = *sheet;
    int row = 0;
    // The third column names each line as `vpl-cli analyse` does, in every language alike.
    const auto number = [&](const char* caption, const char* key, std::optional<double> v) {
        s.text(row, 0, w.word(caption), true);
        s.degree(row, 1, v);
        s.text(row, 2, key);
        ++row;
    };
    const auto words = [&](const char* caption, const char* key, const std::string& text) {
        s.text(row, 0, w.word(caption), true);
        s.text(row, 1, text);
        s.text(row, 2, key);
        ++row;
    };
    number("muR", "muR", b.muR);
    number("lambdaR", "lambdaR", b.lambdaR);
    number("certainty", "G1", b.certainty.ToDouble());
    number("contradiction", "G2", b.contradiction.ToDouble());
    number("g2n", "~G2n", b.g2n);
    number("g1n", "G1n", b.g1n);
    words("verdictData", "data", b.verdictOnData);
    words("verdictOpinion", "opinion", b.verdictOnOpinion);
    words("sentence", "result", b.sentence);
    words("state", "state",
          std::string(core::NomeDoEstado(b.state, b.language)));
    number("level", "level", b.level.ToDouble());
    decisionRows(s, w, row, "decision", "decision", b.decision, b.language);
    if (b.barycentre) {
        const core::AnaliseDoBaricentro& c = *b.barycentre;
        number("barycentreMu", "barycentre mu", c.par.Mi1);
        number("barycentreLambda", "barycentre lambda", c.par.Mi2);
        number("barycentreCertainty", "barycentre G1", c.graus.G1.ToDouble());
        number("barycentreContradiction", "barycentre G2", c.graus.G2.ToDouble());
        words("barycentreState", "barycentre state",
              std::string(core::NomeDoEstado(c.estado, b.language)));
        decisionRows(s, w, row, "barycentreDecision", "barycentre decision", c.decisao, b.language);
    } else {
        s.text(row++, 0, w.word("noBarycentre"), true);
    }
    s.width(0, 0, 45);
    s.width(1, 1, 50);
}

std::string lastError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// The bytes on the disk before the rename makes them the file.
std::optional<std::string> flushed(const std::string& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return lastError("cannot reopen the written file");
    const bool synced = ::fsync(fd) == 0;
    const std::optional<std::string> failure =
        synced ? std::nullopt : std::optional(lastError("cannot flush the file to the disk"));
    ::close(fd);
    return failure;
}

}  // namespace

std::span<const core::Translated> WorkbookTexts() {
    return kTexts;
}

std::optional<std::string> WriteAnalysisWorkbook(const std::filesystem::path& path,
                                                 const AnalysisWorkbook& workbook) {
    const std::string target = path.string();
    const std::string part = target + ".part";
    // Made here first, so that a folder that is missing or not writable is named with the
    // system's reason, before the library tries and words it on the terminal.
    const int made = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (made < 0) return lastError(("cannot create " + part).c_str());
    ::close(made);
    lxw_workbook* book = workbook_new(part.c_str());
    if (!book) {
        std::remove(part.c_str());
        return "cannot start the workbook";
    }
    Writer w(book, workbook.language);
    for (std::size_t i = 0; i < workbook.factors.size(); ++i)
        factorSheet(w, int(i) + 1, workbook.factors[i]);
    networkSheet(w, workbook.cells);
    resultSheet(w, workbook);
    const lxw_error closed = workbook_close(book);  // frees the workbook, written or not
    const lxw_error failure = w.failure != LXW_NO_ERROR ? w.failure : closed;
    if (failure != LXW_NO_ERROR) {
        std::remove(part.c_str());
        return std::string(lxw_strerror(failure));
    }
    if (auto reason = flushed(part)) {
        std::remove(part.c_str());
        return reason;
    }
    if (std::rename(part.c_str(), target.c_str()) != 0) {
        const std::string reason = lastError("cannot put the file in place");
        std::remove(part.c_str());
        return reason;
    }
    // The rename itself lasts once the folder is on the disk too.
    const std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
    if (const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return std::nullopt;
}

}  // namespace vpl

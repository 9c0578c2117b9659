#pragma once

#include <QString>

#include "report/analysis_export.h"

class QWidget;

namespace vpl {

class Program;

// The button "Exportar planilha..." of every analysis window: asks for a file and writes the
// spreadsheet of the analysis the window shows, saying so when the file cannot be written.
void ExportSpreadsheet(QWidget* window, Program& program, int factors, AnalysisSource source);

}  // namespace vpl

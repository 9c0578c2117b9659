#pragma once

// What the report buttons of every analysis window do: print on the printer picked in the
// window's box, or save a PDF file the user names, each ending in a message on failure.

#include <QString>
#include <functional>

#include "report/report.h"

class QWidget;

namespace vpl {

class Picture;
class PrinterBox;
class Program;

// The question of the decision and today's date as a file name ending in `suffix` ("pdf",
// "xlsx"), in the documents folder.
QString ProposedDocumentPath(Program& program, const QString& suffix);

// Prints the report that `data` reads on the printer `box` names, telling where it went, or
// that the printer is unknown or the print service refused the job. `data` is read only once
// the printer is known.
void PrintReportOnPickedPrinter(QWidget* parent, Program& program, PrinterBox& box,
                                const std::function<ReportData()>& data, const Picture& network);

// Asks for a PDF file and writes the report there; nothing is written when the user cancels.
void SaveReportPdfAsked(QWidget* parent, Program& program, const ReportData& data,
                        const Picture& network);

// Asks for an SVG or PNG file, proposed in the documents folder as `name`, and saves
// `picture` there.
void SavePictureAsked(QWidget* parent, const Picture& picture, const QString& name);

}  // namespace vpl

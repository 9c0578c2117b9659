#pragma once

// The choices of a survey import as a file of their own (the map that the preview saves
// and `vpl-cli import --map` reads) and as the user's settings keep them per survey.
//
//   {"columns": [{"column": 6, "heading": "O preço é justo", "factor": 1, "reversed": false}],
//    "codes": [{"code": "A1", "point": "DT"}, {"code": "-99", "point": "none"}],
//    "markReversed": false,
//    "titles": {"1": "Custos"}}
//
// "column" is the column of a responses file, or the row of a counts file, from 1; a
// proposition the map does not name is not imported. A point is DT, D, I, C, CT or none.

#include <QJsonObject>
#include <QString>
#include <optional>
#include <stdexcept>

#include "survey/survey_import.h"

namespace vpl {

// A map that cannot be used; what() says why, in English.
class ImportMapError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

QJsonObject ImportMapJson(const core::SurveyFile& file, const core::ImportChoices& choices);
// The choices a map gives for the file; ImportMapError for a map that is no such object, or
// names a column that is no proposition of the file, a factor past 8 or an unknown point.
core::ImportChoices ImportChoicesOf(const QJsonObject& map, const core::SurveyFile& file);

// The map of a file on disk; ImportMapError when it cannot be read or is no JSON object.
QJsonObject ReadImportMap(const QString& path);
// False when it cannot be written.
bool WriteImportMap(const QString& path, const QJsonObject& map);

// The choices last made for a survey of the same headings, and keeping them.
std::optional<core::ImportChoices> RememberedChoices(const QString& settingsFile,
                                                     const core::SurveyFile& file);
void RememberChoices(const QString& settingsFile, const core::SurveyFile& file,
                     const core::ImportChoices& choices);

}  // namespace vpl

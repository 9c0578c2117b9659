#pragma once

// Reads a written spreadsheet back the way another program would: through openpyxl, which
// tells a number from a text and a text from a formula.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QString>
#include <optional>

namespace vpl::test {

// One cell as openpyxl reads it: its value and its type ("n" number, "s" text, "f" formula).
struct ReadCell {
    QJsonValue value;
    QString type;
};

struct ReadSheet {
    QString name;
    QList<QList<ReadCell>> rows;  // every row from the first, empty cells as null values

    ReadCell at(int row, int column) const {
        if (row >= rows.size() || column >= rows[row].size()) return {};
        return rows[row][column];
    }
    // The first row whose cell in `column` is the text `key`, or -1.
    int rowOf(int column, const QString& key) const {
        for (int r = 0; r < rows.size(); ++r)
            if (at(r, column).value.toString() == key) return r;
        return -1;
    }
};

// Every degree of a network sheet under the name of the label that shows it: each cell's
// result and its operands. A name given two values is a fault, kept as a null value of type
// "conflict".
inline QMap<QString, ReadCell> namedDegrees(const ReadSheet& network) {
    QMap<QString, ReadCell> degrees;
    const auto add = [&](const ReadCell& name, const ReadCell& degree) {
        const QString key = name.value.toString();
        if (key.isEmpty()) return;
        if (degrees.contains(key) && (degrees[key].value != degree.value ||
                                      degrees[key].type != degree.type))
            degrees[key] = {QJsonValue(), "conflict"};
        else
            degrees.insert(key, degree);
    };
    for (int r = 1; r < network.rows.size(); ++r) {
        add(network.at(r, 0), network.at(r, 3));
        for (int c = 4; c + 1 < network.rows[r].size(); c += 2)
            add(network.at(r, c), network.at(r, c + 1));
    }
    return degrees;
}

// The sheets in their order; nothing when the file cannot be read as a workbook.
inline std::optional<QList<ReadSheet>> readWorkbook(const QString& path) {
    static const char* const kScript = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
print(json.dumps([{"name": s.title, "rows": [[[c.value, c.data_type] for c in row]
                   for row in s.iter_rows()]} for s in book]))
)";
    QProcess python;
    python.start(VPL_PYTHON3, {"-c", kScript, path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) return std::nullopt;
    QList<ReadSheet> sheets;
    for (const QJsonValue& s : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        ReadSheet& sheet = sheets.emplace_back();
        sheet.name = s["name"].toString();
        for (const QJsonValue& row : s["rows"].toArray()) {
            QList<ReadCell>& cells = sheet.rows.emplace_back();
            for (const QJsonValue& c : row.toArray())
                cells.push_back({c.toArray()[0], c.toArray()[1].toString()});
        }
    }
    return sheets;
}

}  // namespace vpl::test

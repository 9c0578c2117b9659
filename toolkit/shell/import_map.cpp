#include "shell/import_map.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSettings>
#include <algorithm>

namespace vpl {

namespace {

constexpr const char* kPointNames[] = {"none", "DT", "D", "I", "C", "CT"};

QString pointName(int point) {
    return kPointNames[std::clamp(point, 0, store::kLikertPoints)];
}

std::optional<int> pointNamed(const QString& name) {
    for (int p = 0; p <= store::kLikertPoints; ++p)
        if (name.compare(kPointNames[p], Qt::CaseInsensitive) == 0) return p;
    return std::nullopt;
}

QString u(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

QJsonObject ImportMapJson(const core::SurveyFile& file, const core::ImportChoices& choices) {
    const std::vector<core::ImportItem> items = core::ImportItems(file, choices.codes);
    QJsonArray columns;
    for (const core::ItemChoice& c : choices.items) {
        QJsonObject column{{"column", c.key}, {"factor", c.factor}, {"reversed", c.reversed}};
        const auto item = std::find_if(items.begin(), items.end(),
                                       [&](const core::ImportItem& i) { return i.key == c.key; });
        if (item != items.end()) column.insert("heading", u(item->text));
        columns.append(column);
    }
    QJsonArray codes;
    for (const auto& [code, point] : choices.codes)
        codes.append(QJsonObject{{"code", u(code)}, {"point", pointName(point)}});
    QJsonObject titles;
    for (std::size_t f = 0; f < choices.titles.size(); ++f)
        if (!choices.titles[f].empty()) titles.insert(QString::number(f + 1), u(choices.titles[f]));
    return {{"columns", columns},
            {"codes", codes},
            {"markReversed", choices.markReversed},
            {"titles", titles}};
}

core::ImportChoices ImportChoicesOf(const QJsonObject& map, const core::SurveyFile& file) {
    core::ImportChoices choices;
    for (const QJsonValue& value : map.value("codes").toArray()) {
        const QJsonObject code = value.toObject();
        const std::optional<int> point = pointNamed(code.value("point").toString());
        if (!code.value("code").isString() || !point)
            throw ImportMapError("a code needs a \"code\" and a \"point\" (DT, D, I, C, CT or none)");
        choices.codes.emplace_back(code.value("code").toString().toStdString(), *point);
    }
    const std::vector<core::ImportItem> items = core::ImportItems(file, choices.codes);
    // Every proposition of the file is there, not imported unless the map says so.
    for (const core::ImportItem& item : items) choices.items.push_back({item.key, 0, false});
    for (const QJsonValue& value : map.value("columns").toArray()) {
        const QJsonObject column = value.toObject();
        const int key = column.value("column").toInt(0);
        const int factor = column.value("factor").toInt(-1);
        if (factor < 0 || factor > store::kFactorSlots)
            throw ImportMapError("column " + std::to_string(key) + ": a factor is 0 to 8");
        const auto chosen =
            std::find_if(choices.items.begin(), choices.items.end(),
                         [&](const core::ItemChoice& c) { return c.key == key; });
        if (chosen == choices.items.end())
            throw ImportMapError("column " + std::to_string(key) +
                                 " is no proposition of the file");
        chosen->factor = factor;
        chosen->reversed = column.value("reversed").toBool(false);
    }
    choices.markReversed = map.value("markReversed").toBool(false);
    const QJsonObject titles = map.value("titles").toObject();
    for (auto t = titles.begin(); t != titles.end(); ++t) {
        const int f = t.key().toInt();
        if (f < 1 || f > store::kFactorSlots)
            throw ImportMapError("a title's factor is 1 to 8, not \"" + t.key().toStdString() + "\"");
        choices.titles[static_cast<std::size_t>(f - 1)] = t.value().toString().toStdString();
    }
    return choices;
}

QJsonObject ReadImportMap(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        throw ImportMapError("cannot read the map: " + in.errorString().toStdString());
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        throw ImportMapError("the map is no JSON: " + error.errorString().toStdString());
    if (!document.isObject()) throw ImportMapError("the map is no JSON object");
    return document.object();
}

bool WriteImportMap(const QString& path, const QJsonObject& map) {
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) &&
           out.write(QJsonDocument(map).toJson(QJsonDocument::Indented)) >= 0 && out.commit();
}

namespace {

QString settingsKey(const core::SurveyFile& file) {
    return "surveyImport/" + u(core::SurveyHeaderKey(file));
}

}  // namespace

std::optional<core::ImportChoices> RememberedChoices(const QString& settingsFile,
                                                     const core::SurveyFile& file) {
    const QByteArray kept =
        QSettings(settingsFile, QSettings::IniFormat).value(settingsKey(file)).toByteArray();
    if (kept.isEmpty()) return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(kept);
    if (!document.isObject()) return std::nullopt;
    try {
        return ImportChoicesOf(document.object(), file);
    } catch (const ImportMapError&) {
        return std::nullopt;  // kept by another version of the program: asked again
    }
}

void RememberChoices(const QString& settingsFile, const core::SurveyFile& file,
                     const core::ImportChoices& choices) {
    QSettings(settingsFile, QSettings::IniFormat)
        .setValue(settingsKey(file),
                  QJsonDocument(ImportMapJson(file, choices)).toJson(QJsonDocument::Compact));
}

}  // namespace vpl

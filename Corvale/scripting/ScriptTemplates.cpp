#include "scripting/ScriptTemplates.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

std::string Text(const QStringView text) {
    return text.toString().toStdString();
}

// A fragment's or label's text without the blank lines and indentation the
// XML layout puts around it.
std::string Trimmed(const QString& text) {
    return text.trimmed().toStdString();
}

void ReadConditionDefs(QXmlStreamReader& reader, ScriptTemplate& result) {
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("conditionDef")) {
            ScriptConditionDef definition;
            definition.m_Name = Text(reader.attributes().value(QLatin1String("name")));
            definition.m_DefaultValue = Text(reader.attributes().value(QLatin1String("defaultValue")));
            definition.m_Label = Trimmed(reader.readElementText(QXmlStreamReader::IncludeChildElements));
            result.m_Conditions.push_back(std::move(definition));
        } else {
            reader.skipCurrentElement();
        }
    }
}

} // namespace

bool ParseScriptTemplate(const std::string& xml, ScriptTemplate& result, std::string& error) {
    result = ScriptTemplate();
    ScriptTemplate read;
    QXmlStreamReader reader(QByteArray::fromStdString(xml));
    if (reader.readNextStartElement()) {
        while (reader.readNextStartElement()) {
            if (reader.name() == QLatin1String("conditionDefs")) {
                ReadConditionDefs(reader, read);
            } else if (reader.name() == QLatin1String("jsFragment")) {
                ScriptFragment fragment;
                fragment.m_Condition = Text(reader.attributes().value(QLatin1String("condition")));
                fragment.m_Value = Text(reader.attributes().value(QLatin1String("value")));
                fragment.m_Text = Trimmed(reader.readElementText(QXmlStreamReader::IncludeChildElements));
                read.m_Fragments.push_back(std::move(fragment));
            } else {
                reader.skipCurrentElement();
            }
        }
    }
    // Whatever follows the document element must still be well-formed.
    while (!reader.atEnd() && !reader.hasError())
        reader.readNext();
    if (reader.hasError()) {
        error = reader.errorString().toStdString() + " (line " + std::to_string(reader.lineNumber()) + ", column " +
                std::to_string(reader.columnNumber()) + ")";
        return false;
    }
    result = std::move(read);
    return true;
}

bool LoadScriptTemplate(const std::string& path, ScriptTemplate& result, std::string& error) {
    result = ScriptTemplate();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "Unable to open '" + path + "'.";
        return false;
    }
    return ParseScriptTemplate(file.readAll().toStdString(), result, error);
}

std::vector<std::string> ListScriptTemplates(const std::string& folder) {
    std::vector<std::string> names;
    const QDir dir(QString::fromStdString(folder));
    if (folder.empty() || !dir.exists())
        return names;
    // Sorted once below, by the names the caller gets.
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Unsorted);
    for (const QFileInfo& file : files)
        names.push_back(file.completeBaseName().toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

std::string AssembleScript(const ScriptTemplate& scriptTemplate, const std::vector<ScriptCondition>& chosen) {
    std::string text;
    for (const ScriptFragment& fragment : scriptTemplate.m_Fragments) {
        bool take = fragment.m_Condition.empty();
        if (!take) {
            const auto condition =
                std::find_if(chosen.begin(), chosen.end(),
                             [&](const ScriptCondition& entry) { return entry.m_Name == fragment.m_Condition; });
            take = condition != chosen.end() && condition->m_State == fragment.m_Value;
        }
        if (take) {
            text += fragment.m_Text;
            text += '\n';
        }
    }
    return text;
}

std::vector<ScriptCondition> DefaultConditions(const ScriptTemplate& scriptTemplate) {
    std::vector<ScriptCondition> chosen;
    for (const ScriptConditionDef& definition : scriptTemplate.m_Conditions)
        chosen.push_back(ScriptCondition{definition.m_Name, definition.m_DefaultValue == "true" ? "true" : "false",
                                         definition.m_Label});
    return chosen;
}

std::string ScriptTemplateFolder() {
    return (QCoreApplication::applicationDirPath() + QStringLiteral("/Templates/JavaScript/")).toStdString();
}

#include "cli/JsonReport.h"

#include <QJsonDocument>

#include "config/ConfigFile.h"

JsonReport& JsonReport::Current() {
    static JsonReport report;
    return report;
}

void JsonReport::Add(const QJsonObject& data) {
    for (auto it = data.begin(); it != data.end(); ++it) {
        data_.insert(it.key(), it.value());
    }
}

void JsonReport::Fail(const std::string& message, const std::string& fix) {
    if (message_.empty()) {
        message_ = message;
        fix_ = fix;
    }
}

std::string JsonReport::Finish(int exit, bool oneLine) {
    const auto format = oneLine ? QJsonDocument::Compact : QJsonDocument::Indented;
    std::string text;
    if (hasReaders_) {
        text = QJsonDocument(readers_).toJson(format).toStdString();
    } else {
        QJsonObject outcome{{"ok", exit == 0}, {"exit", exit}};
        if (!device_.empty()) {
            outcome.insert("device", QString::fromStdString(device_));
        }
        if (!message_.empty()) {
            QJsonObject error{{"message", QString::fromStdString(message_)}};
            if (!device_.empty()) {
                error.insert("device", QString::fromStdString(device_));
            }
            if (!fix_.empty()) {
                error.insert("fix", QString::fromStdString(fix_));
            }
            outcome.insert("error", error);
        }
        if (!file_.empty()) {
            text = WithReportMembers(file_, outcome);
        } else {
            QJsonObject document = data_;
            for (auto it = outcome.begin(); it != outcome.end(); ++it) {
                document.insert(it.key(), it.value());
            }
            text = QJsonDocument(document).toJson(format).toStdString();
        }
    }
    *this = JsonReport();
    if (oneLine && (text.empty() || text.back() != '\n')) {
        text += '\n';
    }
    return text;
}

#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <string>

// Says why on standard error, "tallisk-cli: text", and gives status; under
// --json the report's error says it too, with the fix where one is known.
int Fail(int status, const std::string& text, const std::string& fix = "");

// Whether the command line asked for --json: documents go to the report.
void SetJsonOutput(bool json);
bool JsonOutput();

// A UTF-8 text as a JSON string value.
QJsonValue JsonString(const std::string& text);
// A command's data for its JSON document (JsonReport), printed when it ends.
void EmitJson(const QJsonObject& data);
// One compact line of a stream of documents (watch's reads), printed now.
void EmitJsonLine(const QJsonObject& document);

// What a command prints on standard output, or into *capture while one is set
// (the per-reader outputs of --all).
void Emit(const char* format, ...) __attribute__((format(printf, 1, 2)));
void CaptureOutput(std::string* capture);

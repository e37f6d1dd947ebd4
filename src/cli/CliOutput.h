#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <string>

// Says why on standard error, "tallisk-cli: text", and gives status.
int Fail(int status, const std::string& text);

// A UTF-8 text as a JSON string value.
QJsonValue JsonString(const std::string& text);
// A JSON document on standard output (or into the capture), indented; a
// line of a stream of documents (watch) is one compact line.
void EmitJson(const QJsonObject& document);
void EmitJsonLine(const QJsonObject& document);

// What a command prints on standard output, or into *capture while one is set
// (the per-reader outputs of --all).
void Emit(const char* format, ...) __attribute__((format(printf, 1, 2)));
void CaptureOutput(std::string* capture);

#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <string>

// What a command says of itself under --json: one document on standard
// output whatever happened, printed when the command ends. It holds the
// command's data, "ok" and "exit", and on a failure "error" with the
// failure's message and, where known, the device and the fix.
class JsonReport {
  public:
    // The report of the command running now; --all gives each reader its own.
    static JsonReport& Current();

    void Add(const QJsonObject& data);
    // read's document is the configuration file, in its own order.
    void SetConfigurationFile(std::string text) { file_ = std::move(text); }
    // --all's document is the array of the readers' documents.
    void SetReaders(const QJsonArray& readers) {
        readers_ = readers;
        hasReaders_ = true;
    }
    void SetDevice(const std::string& device) { device_ = device; }
    // The first failure is the one reported.
    void Fail(const std::string& message, const std::string& fix);

    // The document for this exit status, indented or on one line (the last
    // line of watch's stream); the report starts again empty.
    std::string Finish(int exit, bool oneLine = false);

  private:
    QJsonObject data_;
    std::string file_;
    QJsonArray readers_;
    bool hasReaders_ = false;
    std::string device_;
    std::string message_;
    std::string fix_;
};

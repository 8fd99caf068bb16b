#pragma once
// A small JSON writer that keeps the keys in the order they are added, so the
// CLI's output reads in the order of its documented formats.
#include <QString>
#include <memory>
#include <utility>
#include <variant>
#include <vector>

namespace korvin::cli {

class Json {
public:
    Json() : m_v(nullptr) {}
    Json(std::nullptr_t) : m_v(nullptr) {}
    Json(bool b) : m_v(b) {}
    Json(int i) : m_v(double(i)) {}
    Json(qint64 i) : m_v(double(i)) {}
    Json(double d) : m_v(d) {}
    Json(const QString &s) : m_v(s) {}
    Json(const char *s) : m_v(QString::fromUtf8(s)) {}

    static Json array()
    {
        Json j;
        j.m_v = Array{};
        return j;
    }
    static Json object()
    {
        Json j;
        j.m_v = Object{};
        return j;
    }
    static Json array(const QStringList &items);

    // Appends to an array.
    Json &push(Json v);
    // Adds a key to an object (keys keep their order).
    Json &set(const QString &key, Json v);

    // Compact when indent < 0, else pretty with that many blanks per level.
    QString dump(int indent = 2) const;

private:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<QString, Json>>;
    std::variant<std::nullptr_t, bool, double, QString, Array, Object> m_v;
    void write(QString &out, int indent, int level) const;
};

} // namespace korvin::cli

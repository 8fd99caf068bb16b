#include "cli/json.h"

#include <QStringList>
#include <cmath>

namespace korvin::cli {

Json Json::array(const QStringList &items)
{
    Json j = array();
    for (const QString &s : items)
        j.push(s);
    return j;
}

Json &Json::push(Json v)
{
    std::get<Array>(m_v).push_back(std::move(v));
    return *this;
}

Json &Json::set(const QString &key, Json v)
{
    std::get<Object>(m_v).emplace_back(key, std::move(v));
    return *this;
}

namespace {
void writeString(QString &out, const QString &s)
{
    out += QLatin1Char('"');
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
}

void newline(QString &out, int indent, int level)
{
    if (indent < 0)
        return;
    out += QLatin1Char('\n');
    out += QString(indent * level, QLatin1Char(' '));
}
} // namespace

void Json::write(QString &out, int indent, int level) const
{
    if (std::holds_alternative<std::nullptr_t>(m_v)) {
        out += QLatin1String("null");
    } else if (auto b = std::get_if<bool>(&m_v)) {
        out += *b ? QLatin1String("true") : QLatin1String("false");
    } else if (auto d = std::get_if<double>(&m_v)) {
        if (std::isfinite(*d) && *d == std::floor(*d) && std::fabs(*d) < 1e15)
            out += QString::number(qint64(*d));
        else if (std::isfinite(*d))
            out += QString::number(*d, 'g', 17);
        else
            out += QLatin1String("null");
    } else if (auto s = std::get_if<QString>(&m_v)) {
        writeString(out, *s);
    } else if (auto a = std::get_if<Array>(&m_v)) {
        out += QLatin1Char('[');
        // Arrays of plain values stay on one line.
        bool simple = true;
        for (const Json &j : *a)
            if (std::holds_alternative<Array>(j.m_v) || std::holds_alternative<Object>(j.m_v))
                simple = false;
        for (size_t i = 0; i < a->size(); ++i) {
            if (i)
                out += simple || indent < 0 ? QLatin1String(", ") : QLatin1String(",");
            if (!simple)
                newline(out, indent, level + 1);
            (*a)[i].write(out, indent, level + 1);
        }
        if (!simple && !a->empty())
            newline(out, indent, level);
        out += QLatin1Char(']');
    } else if (auto o = std::get_if<Object>(&m_v)) {
        out += QLatin1Char('{');
        for (size_t i = 0; i < o->size(); ++i) {
            if (i)
                out += QLatin1Char(',');
            newline(out, indent, level + 1);
            writeString(out, (*o)[i].first);
            out += QLatin1String(": ");
            (*o)[i].second.write(out, indent, level + 1);
        }
        if (!o->empty())
            newline(out, indent, level);
        out += QLatin1Char('}');
    }
}

QString Json::dump(int indent) const
{
    QString out;
    write(out, indent, 0);
    return out;
}

} // namespace korvin::cli

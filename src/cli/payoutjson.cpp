#include "cli/payoutjson.h"

namespace korvin::cli {

namespace {
template <size_t N>
Json labels(const std::array<racing::PayoutLabel, N> &labels)
{
    Json a = Json::array();
    for (const racing::PayoutLabel &l : labels)
        a.push(Json::object().set(QStringLiteral("text"), l.text).set(QStringLiteral("visible"), l.visible));
    return a;
}
} // namespace

Json PayoutsJson(const racing::PayoutArea &area)
{
    return Json::object()
        .set(QStringLiteral("shown"), area.shown)
        .set(QStringLiteral("Tan"), labels(area.Tan))
        .set(QStringLiteral("Fuku"), labels(area.Fuku))
        .set(QStringLiteral("WakuRen"), labels(area.WakuRen))
        .set(QStringLiteral("Uma"), labels(area.Uma));
}

} // namespace korvin::cli

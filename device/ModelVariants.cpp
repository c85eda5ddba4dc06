#include "ModelVariants.h"

#include <algorithm>
#include <initializer_list>

namespace {
bool IsOneOf(const QString& model, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return model == QLatin1String(name); });
}
} // namespace

SMenuTrim MenuTrimForModel(const QString& model) {
    using namespace MenuCommand;
    SMenuTrim trim;
    if (!model.contains(u'p') && !model.contains(u'P')) {
        trim.commands = {kPoePortConfig, kPoeGlobalSettings, kPoeTimeRange, kLldpMedSetting};
        trim.bRemovePoeSubmenu = true;
    }
    if (model == QLatin1String("NSW-4410-08P B1"))
        trim.commands.push_back(kLldpMedSetting);
    if (model.contains(QLatin1String("NSW")))
        trim.commands.push_back(kJumboFrame);
    return trim;
}

int PoePortCount(const QString& model) {
    if (IsOneOf(model, {"NSW-4410-28P", "NSW-4410-28P B1"}))
        return 24;
    if (IsOneOf(model, {"NGX-4410-10P", "NGX-4410-10P B1"}))
        return 8;
    return 0;
}

bool HasOwnFrameLamps(const QString& model) {
    return IsOneOf(model, {"NSW-4410-28P", "NSW-4410-28P B1"});
}

bool DrawsComboInPortLoop(const QString& model) {
    return IsOneOf(model, {"NGX-4410-10P", "NGX-4410-10P B1"});
}

bool PoeGlobalHasThresholdLabel(const QString& model) { return model == u"NGX-4410-10P B1"; }
bool PoeGlobalIs28PB1(const QString& model) { return model == u"NSW-4410-28P B1"; }
bool PoeConfigHas24Ports(const QString& model) { return model == u"NSW-4410-28P B1"; }

bool PowerSavingPerPort(const QString& model) {
    return IsOneOf(model, {"NSW-4410-52 B1", "NSW-4410-28P B1", "NSW-4410-08P B1", "NSW-4410-28 B1"});
}

bool StormControlVariant(const QString& model) {
    return IsOneOf(model, {"NSW-4410-28P B1", "NSW-4410-08P B1"});
}

bool HasBandwidthControl(const QString& model) {
    return IsOneOf(model, {"NGX-4410-10P B1", "NSW-4410-52 B1", "NSW-4410-28 B1", "NSW-4410-28P B1"});
}

bool HasPortMirroring(const QString& model) {
    return IsOneOf(model, {"NSW-4410-08P B1", "NSW-4410-28 B1", "NSW-4410-28P B1", "NGX-4410-10P B1",
                           "NGX-4600-20", "NGX-4600-28"});
}

bool HasAutoSurveillanceVlan(const QString& model) { return model == u"NSW-4410-08P B1"; }

const std::vector<QString>& KnownModels() {
    static const std::vector<QString> models = {
        QStringLiteral("NSW-4410-08P B1"), QStringLiteral("NSW-4410-28 B1"),
        QStringLiteral("NSW-4410-28P"),    QStringLiteral("NSW-4410-28P B1"),
        QStringLiteral("NSW-4410-52 B1"),  QStringLiteral("NGX-4410-10P"),
        QStringLiteral("NGX-4410-10P B1"), QStringLiteral("NGX-4600-20"),
        QStringLiteral("NGX-4600-28")};
    return models;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/modRegistry.h"

#include "platform/VbConvert.h"
#include "settings/COptions.h"
#include "startup/modMain.h"

#include <array>
#include <limits>
#include <utility>

namespace {

using modMain::debugLog;

// Each option's text form, in the order the store is written.
std::array<std::pair<QString, QString>, 16> storedValues(const COptions& options)
{
    using VbConvert::boolText;
    return {{
        {QStringLiteral("ReloadInterval"), QString::number(options.ReloadInterval)},
        {QStringLiteral("CarouselFileName"), options.CarouselFileName},
        {QStringLiteral("ReloadMode"), QString::number(options.ReloadMode)},
        {QStringLiteral("CarouselMode"), QString::number(options.CarouselMode)},
        {QStringLiteral("CarouselOperation"), QString::number(options.CarouselOperation)},
        {QStringLiteral("StartingAddress"), options.StartingAddress},
        {QStringLiteral("StartingSlide"), QString::number(options.StartingSlide)},
        {QStringLiteral("DisplayTips"), boolText(options.DisplayTips)},
        {QStringLiteral("DisplayWizard"), boolText(options.DisplayWizard)},
        {QStringLiteral("BusyWait"), boolText(options.BusyWait)},
        {QStringLiteral("UseDefault"), boolText(options.UseDefault)},
        {QStringLiteral("ToolTips"), boolText(options.ToolTips)},
        {QStringLiteral("AutoMode"), QString::number(options.AutoMode)},
        {QStringLiteral("AutoDDEexe"), options.AutoDDEexe},
        {QStringLiteral("AutoDDEapp"), options.AutoDDEapp},
        {QStringLiteral("AutoStart"), boolText(options.AutoStart)},
    }};
}

// A converted value goes into the field only when the conversion worked and
// the value lies in the option's range, so a bad value leaves the field as
// it was.
template <typename T, typename Convert>
bool assign(T& field, const QString& value, Convert convert, T lowest, T highest)
{
    T converted{};
    if (!convert(value, &converted) || converted < lowest || converted > highest)
        return false;
    field = converted;
    return true;
}

bool assignInt16(qint16& field, const QString& value, qint16 lowest, qint16 highest)
{
    return assign(field, value, VbConvert::textToInt16, lowest, highest);
}

bool assignBool(bool& field, const QString& value)
{
    return assign(field, value, VbConvert::textToBool, false, true);
}

/// Sets the field named by the key; false only when the key is an option
/// whose value could not be converted.
bool setField(const QString& key, const QString& value, COptions& options)
{
    // The ranges: an interval is no less than 0 seconds; modes 1 Normal to
    // 3 Show; order 1 sequential or 2 random; operation 1 once or 2
    // continuous; slide numbers from 0; browser modes 0 to 6.
    if (key == u"ReloadInterval")
        return assign(options.ReloadInterval, value, VbConvert::textToInt32, qint32(0),
                      std::numeric_limits<qint32>::max());
    if (key == u"ReloadMode")
        return assignInt16(options.ReloadMode, value, 1, 3);
    if (key == u"CarouselMode")
        return assignInt16(options.CarouselMode, value, 1, 2);
    if (key == u"CarouselOperation")
        return assignInt16(options.CarouselOperation, value, 1, 2);
    if (key == u"StartingSlide")
        return assignInt16(options.StartingSlide, value, 0, std::numeric_limits<qint16>::max());
    if (key == u"AutoMode")
        return assignInt16(options.AutoMode, value, 0, 6);
    if (key == u"DisplayTips")
        return assignBool(options.DisplayTips, value);
    if (key == u"DisplayWizard")
        return assignBool(options.DisplayWizard, value);
    if (key == u"BusyWait")
        return assignBool(options.BusyWait, value);
    if (key == u"AutoStart")
        return assignBool(options.AutoStart, value);
    if (key == u"UseDefault")
        return assignBool(options.UseDefault, value);
    if (key == u"ToolTips")
        return assignBool(options.ToolTips, value);
    if (key == u"CarouselFileName")
        options.CarouselFileName = value;
    else if (key == u"StartingAddress")
        options.StartingAddress = value;
    else if (key == u"AutoDDEexe")
        options.AutoDDEexe = value;
    else if (key == u"AutoDDEapp")
        options.AutoDDEapp = value;
    // Any other key, Changed included, is not an option and is passed over.
    return true;
}

} // namespace

bool modRegistry::RegistrySave(const COptions& options)
{
    const QString app = modMain::AppTitle();
    for (const auto& [key, value] : storedValues(options)) {
        if (!Registry::SaveSetting(app, OptionsSection, key, value))
            return false;
    }
    return true;
}

bool modRegistry::RegistryGet(COptions& options)
{
    const QString app = modMain::AppTitle();
    debugLog(QStringLiteral("RegistryGet  - GetAllSettings for _") + app + QLatin1Char('_'));
    const QList<Registry::Setting> settings = Registry::GetAllSettings(app, OptionsSection);
    if (settings.isEmpty()) {
        debugLog(QStringLiteral("RegistryGet  - all settings are empty"));
        return false;
    }
    debugLog(QStringLiteral("RegistryGet  - start"));
    for (const Registry::Setting& setting : settings) {
        debugLog(QStringLiteral("Name: _") + setting.first + QStringLiteral("_  Value:_") +
                 setting.second + QLatin1Char('_'));
        set_option_value(setting.first, setting.second, options);
    }
    return true;
}

void modRegistry::set_option_value(const QString& key, const QString& value, COptions& options)
{
    if (!setField(key, value, options))
        debugLog(QStringLiteral("set_option_value: ERROR getting: ") + key +
                 QStringLiteral("_  Value:_") + value + QLatin1Char('_'));
}

qint16 modRegistry::GetBrowserChoice()
{
    const QString choice = Registry::GetSetting(RegistrationApp, RegistrationSection,
                                                QStringLiteral("IBROWSER"), QStringLiteral("5"));
    // One capital letter from A, each naming a browser mode in turn.
    qint16 mode = 0;
    if (choice.size() == 1 && choice[0] >= u'A' && choice[0] <= u'G')
        mode = qint16(choice[0].unicode() - u'A');
    debugLog(QStringLiteral("AutoMode from Registration registry: ") + QString::number(mode));
    return mode;
}

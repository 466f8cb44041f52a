#include "devicelink/simulated/SimulatedDeviceConfig.h"

#include "devicelink/DeviceProtocol.h"
#include "messages/MessageCatalogue.h"
#include "messages/MessageIds.h"

#include <QStringList>

namespace devicelink {

unsigned messageId(StickConfigStatus status)
{
    switch (status) {
    case StickConfigStatus::Ok:
        return 0;
    case StickConfigStatus::UnknownKey:
        return msg::UnknownStickKey;
    case StickConfigStatus::BadValue:
        return msg::BadStickValue;
    }
    return msg::BadStickValue;
}

QString stickConfigMessage(const StickConfigParse& parse, const QString& source)
{
    const QString place =
        parse.stick > 0 ? messages::formatMessage(msg::NumberedStick, qUtf8Printable(source), parse.stick) : source;
    if (parse.status == StickConfigStatus::UnknownKey)
        return messages::formatMessage(msg::UnknownStickKey, qUtf8Printable(place), qUtf8Printable(parse.key));
    return messages::formatMessage(msg::BadStickValue, qUtf8Printable(place), qUtf8Printable(parse.value),
                                   qUtf8Printable(parse.key));
}

StickConfigParse parseSimulatedDeviceConfig(const QString& text)
{
    using Fault = SimulatedDeviceConfig::Fault;
    SimulatedDeviceConfig config;
    const auto reject = [](StickConfigStatus status, const QString& key, const QString& value = QString()) {
        return StickConfigParse{status, {}, 0, key, value};
    };
    const auto number = [](const QString& value, int& out) {
        bool ok = false;
        out = value.toInt(&ok);
        return ok && out >= 0;
    };

    for (const QString& pair : text.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        const QString key = pair.left(equals).trimmed().toLower();
        const QString value = equals < 0 ? QString() : pair.mid(equals + 1);
        const QString word = value.trimmed().toLower();
        bool ok = true;
        if (key == QLatin1String("id")) {
            ok = value.size() == 1;
            if (ok)
                config.identity = value[0];
        } else if (key == QLatin1String("memory")) {
            config.memoryFile = value;
        } else if (key == QLatin1String("manufacturer")) {
            config.manufacturer = value;
        } else if (key == QLatin1String("latency_ms")) {
            ok = number(word, config.latencyMs);
        } else if (key == QLatin1String("access")) {
            ok = word == QLatin1String("denied") || word == QLatin1String("granted");
            config.accessible = word != QLatin1String("denied");
        } else if (key == QLatin1String("grab")) {
            ok = word == QLatin1String("busy") || word == QLatin1String("free");
            config.grabbable = word != QLatin1String("busy");
        } else if (key == QLatin1String("log")) {
            config.logFile = value;
        } else if (key == QLatin1String("fault")) {
            static const QStringList kFaults{QStringLiteral("none"), QStringLiteral("no_reply"),
                                             QStringLiteral("short_reply"), QStringLiteral("wrong_ack"),
                                             QStringLiteral("wrong_checksum"), QStringLiteral("garbage")};
            const qsizetype index = kFaults.indexOf(word);
            ok = index >= 0;
            config.fault = static_cast<Fault>(index < 0 ? 0 : index);
        } else if (key == QLatin1String("fault_on")) {
            if (word == QLatin1String("identify"))
                config.faultCommand = Identify;
            else if (word == QLatin1String("write_block"))
                config.faultCommand = WriteBlock;
            else if (word == QLatin1String("read_block"))
                config.faultCommand = ReadBlock;
            else if (word == QLatin1String("checksum"))
                config.faultCommand = GetChecksum;
            else if (word == QLatin1String("all"))
                config.faultCommand = -1;
            else
                ok = false;
        } else if (key == QLatin1String("fault_after")) {
            ok = number(word, config.faultAfter);
        } else if (key == QLatin1String("fault_times")) {
            ok = number(word, config.faultTimes);
        } else if (key == QLatin1String("unplug_after")) {
            ok = number(word, config.unplugAfterWrites);
        } else if (key == QLatin1String("present")) {
            ok = !value.isEmpty();
            config.presentFile = value;
        } else if (key == QLatin1String("header")) {
            if (word == QLatin1String("erased"))
                config.header = SimulatedDeviceConfig::Header::Erased;
            else if (word == QLatin1String("damaged"))
                config.header = SimulatedDeviceConfig::Header::Damaged;
            else if (word == QLatin1String("kept"))
                config.header = SimulatedDeviceConfig::Header::Kept;
            else
                ok = false;
        } else {
            return reject(StickConfigStatus::UnknownKey, key);
        }
        if (!ok)
            return reject(StickConfigStatus::BadValue, key, value);
    }
    StickConfigParse parsed;
    parsed.sticks.push_back(config);
    return parsed;
}

StickConfigParse parseSimulatedDeviceConfigs(const QString& text)
{
    const QStringList parts = text.split(u';', Qt::SkipEmptyParts);
    if (parts.size() <= 1)
        return parseSimulatedDeviceConfig(parts.value(0));
    StickConfigParse all;
    for (const QString& part : parts) {
        StickConfigParse one = parseSimulatedDeviceConfig(part);
        if (!one.ok()) {
            one.stick = static_cast<int>(all.sticks.size()) + 1;
            return one;
        }
        all.sticks.push_back(one.sticks.front());
    }
    return all;
}

} // namespace devicelink

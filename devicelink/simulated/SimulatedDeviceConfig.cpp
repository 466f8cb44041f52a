#include "devicelink/simulated/SimulatedDeviceConfig.h"

#include "devicelink/DeviceProtocol.h"

#include <QStringList>

namespace devicelink {

std::optional<SimulatedDeviceConfig> parseSimulatedDeviceConfig(const QString& text, QString* error)
{
    using Fault = SimulatedDeviceConfig::Fault;
    SimulatedDeviceConfig config;
    const auto reject = [error](const QString& why) {
        if (error)
            *error = why;
        return std::nullopt;
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
            return reject(QStringLiteral("unknown key \"%1\"").arg(key));
        }
        if (!ok)
            return reject(QStringLiteral("bad value \"%1\" for %2").arg(value, key));
    }
    return config;
}

std::optional<std::vector<SimulatedDeviceConfig>> parseSimulatedDeviceConfigs(const QString& text, QString* error)
{
    const QStringList parts = text.split(u';', Qt::SkipEmptyParts);
    if (parts.size() <= 1) {
        const std::optional<SimulatedDeviceConfig> config = parseSimulatedDeviceConfig(parts.value(0), error);
        return config ? std::optional(std::vector{*config}) : std::nullopt;
    }
    std::vector<SimulatedDeviceConfig> configs;
    for (const QString& part : parts) {
        QString why;
        const std::optional<SimulatedDeviceConfig> config = parseSimulatedDeviceConfig(part, &why);
        if (!config) {
            if (error)
                *error = QStringLiteral("stick %1: %2").arg(configs.size() + 1).arg(why);
            return std::nullopt;
        }
        configs.push_back(*config);
    }
    return configs;
}

} // namespace devicelink

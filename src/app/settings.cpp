#include "settings.h"

#include "appstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString overriddenProgramDir;
QString overriddenUserDir;
const QString mainName = QStringLiteral("Tolvane.ini");
const QString englishName = QStringLiteral("Tolvaneen.ini");

QVariant readOne(const QString &path, const char *key)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("GB18030");
    return settings.value(QLatin1String(key));
}
}

QString Settings::programDir()
{
    if (!overriddenProgramDir.isEmpty())
        return overriddenProgramDir;
    return QCoreApplication::applicationDirPath();
}

void Settings::setProgramDir(const QString &dir, const QString &userDir)
{
    overriddenProgramDir = dir;
    overriddenUserDir = userDir;
}

QString Settings::writableDir()
{
    if (!overriddenUserDir.isEmpty())
        return overriddenUserDir;
    const QString dir = programDir();
    const QFileInfo info(dir);
    if (info.isDir() && info.isWritable())
        return dir;
    const QString fallback = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(fallback);
    return fallback;
}

QString Settings::mainPath()
{
    return writableDir() + QLatin1Char('/') + mainName;
}

QString Settings::englishPath()
{
    return writableDir() + QLatin1Char('/') + englishName;
}

QString Settings::currentPath()
{
    return AppState::settingsPath.isEmpty() ? mainPath() : AppState::settingsPath;
}

QString Settings::resolve(const QString &path)
{
    return path.isEmpty() ? currentPath() : path;
}

QStringList Settings::readLayers(const QString &path)
{
    const QString file = resolve(path);
    const bool english = file == englishPath();
    if (!english && file != mainPath())
        return { file }; // a file of its own, with nothing beneath it
    QStringList layers { file };
    if (english)
        layers << mainPath();
    const QString beside = QDir::cleanPath(programDir()) + QLatin1Char('/');
    if (beside != QDir::cleanPath(writableDir()) + QLatin1Char('/')) {
        layers << beside + (english ? englishName : mainName);
        if (english)
            layers << beside + mainName;
    }
    return layers;
}

int Settings::toInt(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

int Settings::readInt(const char *key, const QString &defaultText, const QString &path)
{
    return toInt(readString(key, defaultText, path));
}

QString Settings::readString(const char *key, const QString &defaultText, const QString &path)
{
    for (const QString &layer : readLayers(path)) {
        const QVariant value = readOne(layer, key);
        if (value.isValid())
            return value.toString();
    }
    return defaultText;
}

quint32 Settings::readColor(const char *key, const QString &defaultText, const QString &path)
{
    bool ok = false;
    const qlonglong value = readString(key, defaultText, path).trimmed().toLongLong(&ok);
    return ok ? quint32(quint64(value) & 0xFFFFFFFFu) : 0u;
}

void Settings::write(const char *key, const QVariant &value, const QString &path)
{
    QSettings settings(resolve(path), QSettings::IniFormat);
    settings.setIniCodec("GB18030");
    settings.setValue(QLatin1String(key), value);
}

QString Settings::fontKey(int index)
{
    return QString::fromLatin1(SettingsKeys::LangFontPattern).arg(index);
}

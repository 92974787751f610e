#include "settings.h"

#include "appstate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString overriddenProgramDir;
}

QString Settings::programDir()
{
    if (!overriddenProgramDir.isEmpty())
        return overriddenProgramDir;
    return QCoreApplication::applicationDirPath();
}

void Settings::setProgramDir(const QString &dir)
{
    overriddenProgramDir = dir;
}

QString Settings::writableDir()
{
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
    return writableDir() + QStringLiteral("/Tolvane.ini");
}

QString Settings::englishPath()
{
    return writableDir() + QStringLiteral("/Tolvaneen.ini");
}

QString Settings::currentPath()
{
    return AppState::settingsPath.isEmpty() ? mainPath() : AppState::settingsPath;
}

QString Settings::resolve(const QString &path)
{
    return path.isEmpty() ? currentPath() : path;
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
    QSettings settings(resolve(path), QSettings::IniFormat);
    settings.setIniCodec("GB18030");
    return settings.value(QLatin1String(key), defaultText).toString();
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

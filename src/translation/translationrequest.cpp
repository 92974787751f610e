#include "translationrequest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

bool TranslationRequest::usesDefaultEndpoint(const Target &target) { return target.hostWW.isEmpty(); }

QNetworkRequest TranslationRequest::defaultRequest(const Target &target)
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(target.defaultHost);
    url.setPort(target.defaultPort);
    url.setPath(QStringLiteral("/trans/ts/rq"));
    url.setQuery(target.language == 1 ? QStringLiteral("from=ww&to=zh") : QStringLiteral("from=zh&to=ww"));

    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader,
        QByteArrayLiteral("application/x-www-form-urlencoded; charset=UTF-8"));
    return request;
}

QByteArray TranslationRequest::defaultBody(const QString &text, const Target &target)
{
    return QByteArrayLiteral("content=") + percentEncode(text) + QByteArrayLiteral("&appkey=") + target.appKey
        + QByteArrayLiteral("&appsecret=") + target.appSecret;
}

QNetworkRequest TranslationRequest::configuredRequest(const QString &text, const Target &target)
{
    const QString prefix = target.language == 1
        ? target.hostCN + QStringLiteral("/NiuTransServer/translation?from=uy&to=zh&src_text=")
        : target.hostWW + QStringLiteral("/NiuTransServer/translation?from=zh&to=uy&src_text=");
    return QNetworkRequest(QUrl(prefix + QString::fromLatin1(percentEncode(text)), QUrl::TolerantMode));
}

QNetworkReply *TranslationRequest::send(
    QNetworkAccessManager *manager, const QString &text, const Target &target)
{
    QNetworkReply *reply = usesDefaultEndpoint(target)
        ? manager->post(defaultRequest(target), defaultBody(text, target))
        : manager->get(configuredRequest(text, target));
    // readyRead comes with every piece of the body (downloadProgress is throttled);
    // the body stays unread until the end, so bytesAvailable counts all of it.
    const auto checkSize = [reply] {
        const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (qMax(announced, reply->bytesAvailable()) > maxReplyBytes)
            reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, checkSize);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, checkSize);
    return reply;
}

QByteArray TranslationRequest::percentEncode(const QString &text) { return QUrl::toPercentEncoding(text); }

bool TranslationRequest::parseReply(const QByteArray &body, QString *translation)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    const auto it = object.constFind(QLatin1String("translation_result_app"));
    if (it == object.constEnd())
        return false;
    *translation = it.value().toString();
    return true;
}

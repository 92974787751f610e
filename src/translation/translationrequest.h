#pragma once

#include <QByteArray>
#include <QNetworkRequest>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

// The wire format of one translation: which server, which request, and what
// the reply means. Pure functions, so that the worker stays a loop.
class TranslationRequest
{
public:
    struct Target
    {
        int language = 0; // 1: Uyghur into Chinese, otherwise Chinese into Uyghur
        QString hostWW;
        QString hostCN;
        QString defaultHost;
        int defaultPort = 0;
        QByteArray appKey;
        QByteArray appSecret;
    };

    // A configured Uyghur server switches both directions to the GET style.
    static bool usesDefaultEndpoint(const Target &target);

    static QNetworkRequest defaultRequest(const Target &target);
    static QByteArray defaultBody(const QString &text, const Target &target);
    static QNetworkRequest configuredRequest(const QString &text, const Target &target);

    // A broken server must not fill the memory: a longer reply is aborted and
    // so fails like any other failed request.
    static constexpr qint64 maxReplyBytes = 1024 * 1024;

    // Sends the request in the style the target asks for; the reply belongs to
    // manager and is aborted once it announces or brings more than maxReplyBytes.
    static QNetworkReply *send(QNetworkAccessManager *manager, const QString &text, const Target &target);

    // Every UTF-8 byte except A-Z a-z 0-9 - . _ ~ as %XX.
    static QByteArray percentEncode(const QString &text);

    // True when body is a JSON object with "translation_result_app"; a value that is
    // not a string gives an empty translation.
    static bool parseReply(const QByteArray &body, QString *translation);
};

#pragma once

#include "httptestserver.h"

#include <QString>

// The sentence as a translation server received it, in either request style:
// the "content" field of a POST body, or the "src_text" field of a GET query.
inline QString sentText(const HttpTestServer::Request &request)
{
    const bool post = request.method == "POST";
    const QByteArray name = post ? "content=" : "src_text=";
    QByteArray encoded;
    for (const QByteArray &field :
        (post ? request.body : request.target.mid(request.target.indexOf('?') + 1)).split('&')) {
        if (field.startsWith(name))
            encoded = field.mid(name.size());
    }
    return QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
}

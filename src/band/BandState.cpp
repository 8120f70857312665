#include "band/BandState.h"

#include "prompt/PromptReference.h"
#include "rtf/RtfReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include <algorithm>

namespace tarvello {

bool SafeWebAddress(const QString &address)
{
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

QByteArray BandStateJson(const TBandState &s, qint64 seq, const QString &content)
{
    QJsonObject o;
    o.insert(QStringLiteral("seq"), double(seq));
    o.insert(QStringLiteral("slot"), s.Slot);
    o.insert(QStringLiteral("caption"), s.Caption);
    o.insert(QStringLiteral("displayType"), s.DisplayType);
    o.insert(QStringLiteral("kind"), s.Kind);
    o.insert(QStringLiteral("name"), s.Name);
    o.insert(QStringLiteral("next"), s.Next);
    o.insert(QStringLiteral("page"), s.Page);
    o.insert(QStringLiteral("pageCount"), s.PageCount);
    o.insert(QStringLiteral("scroll"), std::clamp(s.Scroll, 0.0, 1.0));
    o.insert(QStringLiteral("content"), content);
    o.insert(QStringLiteral("text"), s.Text);
    o.insert(QStringLiteral("show"), s.ShowNumber);
    o.insert(QStringLiteral("showName"), s.ShowName);
    o.insert(QStringLiteral("link"), s.Kind == QLatin1String("web") && SafeWebAddress(s.Name)
                                         ? QUrl(s.Name.trimmed()).toString(QUrl::FullyEncoded)
                                         : QString());
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray BandSlotsJson(const QStringList &names)
{
    QJsonArray list;
    for (int slot = 0; slot < names.size(); ++slot) {
        list.append(
            QJsonObject{{QStringLiteral("slot"), slot}, {QStringLiteral("name"), names[slot]}});
    }
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

QByteArray BandShowsJson(const QList<TBandShow> &shows)
{
    QJsonArray list;
    for (const TBandShow &show : shows) {
        list.append(QJsonObject{{QStringLiteral("show"), show.Number},
                                {QStringLiteral("name"), show.Name}});
    }
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

} // namespace tarvello

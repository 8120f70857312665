#pragma once

#include <QObject>
#include <QString>

#include <chrono>

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace tarvello {

// The leader's remote address and its QR code on the Settings page. The
// address carries the key that drives the show, so it is shown only when the
// operator asks ("Show remote code") and for a minute at most; while hidden it
// is in no widget at all, only here.
class TRemoteCode : public QObject {
    Q_OBJECT

public:
    // The button, the address and the code, placed on `page`.
    explicit TRemoteCode(QWidget *page);

    // The remote address while band screens run, empty while they do not.
    // Another address hides what was shown of the old one.
    void SetAddress(const QString &remote);
    bool Shown() const;
    // How long a shown code stays up: a minute unless told.
    void SetShowTime(std::chrono::milliseconds time);

private:
    void Show(bool shown);

    QPushButton *bRemoteCode;
    QLabel *lBandRemote;
    QLabel *lBandRemoteQr;
    QTimer *HideTimer;
    QString Address;
};

} // namespace tarvello

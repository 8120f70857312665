#pragma once

#include <QLabel>

namespace tarvello {

// A short notice over a page, in its top right corner, large enough to be
// read from the stage. The page's own content stays as it is beneath it, and
// clicks go through to it. The notice follows the page's size and stays above
// the page's other children, also those made later.
class TStageNotice : public QLabel {
    Q_OBJECT

public:
    explicit TStageNotice(QWidget *page);

    void ShowText(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Place();
};

} // namespace tarvello

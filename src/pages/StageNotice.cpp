#include "pages/StageNotice.h"

#include "widgets/LayoutHelpers.h"

#include <QEvent>

#include <algorithm>

namespace tarvello {
namespace {

constexpr int Margin = 8;

} // namespace

TStageNotice::TStageNotice(QWidget *page) : QLabel(page)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextFormat(Qt::PlainText);
    QFont font = PixelFont({QStringLiteral("Tahoma")}, 28);
    font.setBold(true);
    setFont(font);
    // Its own colours: the prompt's may be anything the operator chose.
    SetBackground(this, QColor(0, 0, 128));
    SetTextColour(this, QPalette::WindowText, QColor(255, 255, 0));
    setContentsMargins(12, 6, 12, 6);
    hide();
    page->installEventFilter(this);
}

void TStageNotice::ShowText(const QString &text)
{
    setText(text);
    Place();
    show();
    raise();
}

bool TStageNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && !isHidden()) {
        if (event->type() == QEvent::Resize) {
            Place();
        } else if (event->type() == QEvent::ChildAdded) {
            raise();
        }
    }
    return QLabel::eventFilter(watched, event);
}

void TStageNotice::Place()
{
    adjustSize();
    const QWidget *page = parentWidget();
    move(std::max(0, page->width() - width() - Margin), Margin);
}

} // namespace tarvello

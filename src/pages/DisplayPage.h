#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

class QLabel;

namespace tarvello {

// The page "Display": one slot's line of text in large type, filling the page
// and wrapping words. Its font, text colour and background are the prompt's.
class TDisplayPage : public QWidget {
    Q_OBJECT

public:
    explicit TDisplayPage(QWidget *parent = nullptr);

    void ShowLine(const QString &text);
    QString Line() const;
    // The show the line belongs to, in small type at the page's foot; empty
    // hides it (a repertoire of one show).
    void ShowShowTitle(const QString &title);
    QString ShowTitleText() const;

    QFont PromptFont() const;
    void SetPromptFont(const QFont &font);
    QColor TextColour() const;
    void SetTextColour(const QColor &colour);
    QColor Background() const;
    void SetBackground(const QColor &colour);

private:
    QLabel *lPatchName;
    QLabel *lShowName;
};

} // namespace tarvello

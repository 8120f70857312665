#include "support/FakeDialogs.h"

#include <QStringList>

namespace tarvello::test {
namespace {

template <typename T> std::optional<T> TakeFront(std::deque<std::optional<T>> &queue)
{
    if (queue.empty()) {
        return std::nullopt;
    }
    std::optional<T> front;
    front.swap(queue.front());
    queue.pop_front();
    return front;
}

} // namespace

TMessageButton TFakeDialogs::MessageBox(QWidget *, const QString &title, const QString &text,
                                        TMessageKind kind, TMessageButtons buttons)
{
    Records.push_back({TCall::Message, title, text, QString(), kind, buttons});
    RunWhileOpen();
    if (Answers.empty()) {
        return EscapeAnswer(buttons);
    }
    const TMessageButton answer = Answers.front();
    Answers.pop_front();
    return answer;
}

std::optional<QString> TFakeDialogs::OpenFileName(QWidget *, const QString &caption,
                                                  const QString &directory, const QString &filter)
{
    Records.push_back({TCall::OpenFile, caption, directory, filter, {}, {}});
    RunWhileOpen();
    return TakeFront(FileAnswers);
}

std::optional<QString> TFakeDialogs::SaveFileName(QWidget *, const QString &caption,
                                                  const QString &directory, const QString &filter)
{
    Records.push_back({TCall::SaveFile, caption, directory, filter, {}, {}});
    RunWhileOpen();
    return TakeFront(FileAnswers);
}

std::optional<TFontChoice> TFakeDialogs::ChooseFont(QWidget *, const TFontChoice &initial)
{
    Records.push_back({TCall::Font, {}, {}, {}, {}, {}});
    RunWhileOpen();
    const std::optional<QFont> font = TakeFront(FontAnswers);
    const QColor colour = FontColourAnswers.empty() ? initial.Colour : FontColourAnswers.front();
    if (!FontColourAnswers.empty()) {
        FontColourAnswers.pop_front();
    }
    if (!font) {
        return std::nullopt;
    }
    return TFontChoice{*font, colour};
}

std::optional<QColor> TFakeDialogs::ChooseColor(QWidget *, const QColor &)
{
    Records.push_back({TCall::Colour, {}, {}, {}, {}, {}});
    RunWhileOpen();
    return TakeFront(ColourAnswers);
}

void TFakeDialogs::RunWhileOpen()
{
    if (WhileOpen) {
        WhileOpen();
    }
}

QStringList TFakeDialogs::MessageTexts() const
{
    QStringList texts;
    for (const TRecord &record : Records) {
        if (record.Call == TCall::Message) {
            texts.append(record.Text);
        }
    }
    return texts;
}

} // namespace tarvello::test

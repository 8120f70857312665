#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QPainter;

namespace tarvello {

// A container that embeds one document object created from its ProgID and
// shows it in place, as content. The object is created hidden (loaded); Run
// puts it into the running state and the show verb makes it visible. The
// container can be aligned to fill its parent's client area, in which case it
// follows every size change of the parent.
class TOleContainer : public QWidget {
    Q_OBJECT

public:
    // The standard verbs an embedded object understands.
    enum TVerb : int { VerbPrimary = 0, VerbShow = -1, VerbOpen = -2, VerbHide = -3 };

    explicit TOleContainer(QWidget *parent);
    ~TOleContainer() override;

    void SetFillParent(bool fill);
    bool FillParent() const { return Fill; }

    // Replaces any object held; raises the class factory's error when the
    // ProgID names no registered class.
    void CreateObject(const QString &progId);
    bool HasObject() const { return !Object.isNull(); }
    QObject *OleObject() const;
    QString ProgId() const { return ObjectProgId; }

    void Run();
    bool IsRunning() const { return Running; }
    void DoVerb(int verb);

    // Closes and destroys the object; the objects embedded here are viewers that
    // hold no changes of their own, so there is nothing to save.
    void DestroyObject();

    void PaintTo(QPainter &painter, const QPoint &at);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FollowParent();

    QPointer<QWidget> Object;
    QString ObjectProgId;
    bool Running = false;
    bool Fill = false;
};

} // namespace tarvello

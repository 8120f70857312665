#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace tarvello {

// A titled group of radio items chosen by index. Click() follows every change
// of the chosen item, whether the operator clicked it or the program set it,
// so settings restored by code take effect just as a click would.
class TRadioGroup : public QGroupBox {
    Q_OBJECT

public:
    TRadioGroup(const QString &title, const QStringList &items, QWidget *parent = nullptr);

    int ItemIndex() const;
    // -1 clears the choice.
    void SetItemIndex(int index);
    QRadioButton *Item(int index) const;
    int Count() const;

signals:
    void Click();

private:
    QButtonGroup *Buttons;
};

} // namespace tarvello

#pragma once

#include <QPointer>
#include <QWidget>

class QToolButton;

namespace framework {

class DataSource;

// Buttons that move a dataset (first, prior, next, last) and, when shown, insert, delete, edit,
// post and cancel it. Each button is enabled when its action makes sense in the dataset's
// state and position; its objectName is the action's (nbFirst, nbPrior, ...). Deleting asks
// the standard "Excl" confirmation when ConfirmDelete is on.
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel };
    static constexpr int ButtonCount = nbCancel + 1;

    explicit TDBNavigator(QWidget* parent = nullptr, const QString& name = {});

    framework::DataSource* DataSource() const { return m_source; }
    void setDataSource(framework::DataSource* source);
    // The buttons shown (by default the four moves).
    void setVisibleButtons(const QList<Button>& buttons);
    bool ConfirmDelete() const { return m_confirmDelete; }
    void setConfirmDelete(bool confirm) { m_confirmDelete = confirm; }

    QToolButton* button(Button which) const { return m_buttons[which]; }
    void BtnClick(Button which); // runs the button's action (through the guard)

private:
    void refresh();
    void run(Button which);

    QPointer<framework::DataSource> m_source;
    QList<QMetaObject::Connection> m_connections;
    QToolButton* m_buttons[ButtonCount] = {};
    bool m_confirmDelete = true;
};

} // namespace framework

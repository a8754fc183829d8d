#pragma once

#include <QWidget>
#include <memory>
#include <utility>

class QEventLoop;
class QKeyEvent;

namespace framework {

// What every form of the framework shares: the creation, activation, close and key events
// derived forms extend (calling the base first), and showing as a modal window with a result.
//
// FormKeyDown sees every key pressed in any of the form's controls before the control does;
// accepting the event consumes the key. Every handler runs through the guard.
class TfrmBase : public QWidget {
    Q_OBJECT
public:
    explicit TfrmBase(QWidget* parent = nullptr);
    ~TfrmBase() override;

    // After the form's components exist (CreateForm calls it).
    virtual void FormCreate() {}
    // Each time the form's window becomes the active one.
    virtual void FormActivate() {}
    // While closing; throwing (Abort) keeps the form open.
    virtual void FormClose() {}
    // Enter in a single-line control moves on to the next control, as Tab does.
    virtual void FormKeyDown(QKeyEvent* event);

    // Shows the form as a modal window until it closes; gives the modal result (mrCancel when
    // the window was just closed).
    int ShowModal();
    int ModalResult() const { return m_modalResult; }
    void setModalResult(int result); // a result other than mrNone closes a modal form

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_modalResult = 0;
    QEventLoop* m_modalLoop = nullptr;
};

// Creates a form and runs its FormCreate; a failing FormCreate frees the form and throws on.
template <class Form, class... Args>
Form* CreateForm(Args&&... args)
{
    auto form = std::make_unique<Form>(std::forward<Args>(args)...);
    form->FormCreate();
    return form.release();
}

} // namespace framework

#pragma once

#include "framework/ui/messages.h"

#include <QMainWindow>

class QMenu;

namespace host {

class Package;

// The host's main window: the context in use, the package's creation functions in a menu and
// the message list msgPadrao the package looks its host messages up in.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(const Package& package, const QString& databaseText, QWidget* parent = nullptr);

    framework::TMessages* messages() const { return m_messages; }

protected:
    // The modules' windows are closed first: one that keeps the user (changes not confirmed)
    // keeps the host open.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildModuleMenu();
    void buildContextPanel(const QString& databaseText);

    const Package& m_package;
    framework::TMessages* m_messages;
};

} // namespace host

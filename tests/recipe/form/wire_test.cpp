// The recipe form against an application server whose answers may be lost or replaced: a save
// is reported only when the server said it saved.
#include "recipeformtest.h"

#include "appserver/httpserver.h"
#include "framework/data/clientdataset.h"
#include "framework/forms/dbtree.h"
#include "framework/ui/dbedit.h"
#include "server/session.h"

#include <QAction>
#include <atomic>
#include <httplib.h>
#include <thread>

namespace {

// Stands between the form and the daemon, passing everything on, except that once broken it
// answers 200 with `{}` to the calls of one method: what another program on the port, or a
// proxy's error page, does.
class BreakingProxy {
public:
    BreakingProxy(int daemonPort, std::string brokenMethod) : m_daemon("127.0.0.1", daemonPort)
    {
        const std::string marker = "\"method\":\"" + brokenMethod + "\"";
        m_server.Post(".*", [this, marker](const httplib::Request& request, httplib::Response& response) {
            if (broken && request.body.find(marker) != std::string::npos) {
                response.set_content("{}", "application/json");
                return;
            }
            httplib::Headers headers;
            if (request.has_header("Authorization"))
                headers.emplace("Authorization", request.get_header_value("Authorization"));
            std::lock_guard lock(m_mutex);
            const auto answer = m_daemon.Post(request.path, headers, request.body, "application/json");
            response.status = answer ? answer->status : 502;
            response.set_content(answer ? answer->body : std::string(), "application/json");
        });
        m_server.set_keep_alive_timeout(1); // stop() waits for idle kept-alive clients
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~BreakingProxy()
    {
        m_server.stop();
        m_thread.join();
    }
    int port() const { return m_port; }

    std::atomic<bool> broken{false};

private:
    httplib::Client m_daemon;
    std::mutex m_mutex;
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

class RecipeOverTheWire : public RecipeFormTest {};

} // namespace

TEST_F(RecipeOverTheWire, ADishConfirmedWhenTheAnswerHasNoResultStaysPendingAndTheUserIsTold)
{
    appserver::HttpServer daemon(database->target());
    daemon.setLogger([](const QString&) {});
    ASSERT_GT(daemon.start("127.0.0.1", 0), 0);
    BreakingProxy proxy(daemon.port(), "UpdPrato");
    ASSERT_EQ(server::Session::instance().login("127.0.0.1", proxy.port(), "NUTRI", "nutri"), "");
    framework::hostContext().WebURL = "127.0.0.1";
    framework::hostContext().WebPort = proxy.port();

    TfrmReceitaPadrao* form = open();
    ASSERT_NE(form, nullptr);
    form->dbaPadrao->setFocus(); // leaving the branch panel loads the tree, through the daemon
    QApplication::processEvents();
    ASSERT_TRUE(form->dbaPadrao->setSelectedCode("201001"));
    form->mnuIncluir->trigger();
    QApplication::processEvents();
    controles(form).dbeNmPrato->setFocus();
    QTest::keyClicks(controles(form).dbeNmPrato, "Arroz com legumes");
    controles(form).dbeCdUnidade->setFocus();
    QTest::keyClicks(controles(form).dbeCdUnidade, "KG");

    proxy.broken = true;
    script->authorize("SUPERV", "1234");
    form->mnuConfirmar->trigger();
    QApplication::processEvents();

    ASSERT_EQ(script->messages().size(), 1) << script->messageTexts().join('\n').toStdString();
    EXPECT_EQ(script->lastMessage().kind, framework::mtError);
    EXPECT_TRUE(script->lastMessage().text.contains("sem resultado")) << script->lastMessage().text.toStdString();
    // The new dish is back in its insertion, with what the user typed.
    EXPECT_EQ(form->cdsPrato->state(), framework::ClientDataSet::State::Insert);
    EXPECT_EQ(controles(form).dbeNmPrato->text(), "Arroz com legumes");
    EXPECT_FALSE(value("SELECT NMPRATO FROM PRATO WHERE CDPRATO = '2010010003'").isValid());

    // The way is clear again: the same confirmation, with its checks run again, saves the dish.
    proxy.broken = false;
    script->authorize("SUPERV", "1234");
    form->mnuConfirmar->trigger();
    QApplication::processEvents();
    EXPECT_EQ(form->cdsPrato->ChangeCount(), 0);
    EXPECT_EQ(value("SELECT NMPRATO FROM PRATO WHERE CDPRATO = '2010010003'"), "Arroz com legumes");
}

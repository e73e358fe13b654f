#include "forms/help.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "forms/app.h"
#include "forms/compiled_resources.h"
#include "forms/form_window.h"
#include "forms/forms.h"
#include "forms/qt_text.h"
#include "platform/error.h"

namespace forms {
namespace {

constexpr const char* kTopicFolder = ":/kelvaran/help/";

struct HelpState {
  QPointer<QWidget> window;
  QPointer<QTextBrowser> browser;
  int topic = -1;
};

HelpState& help() {
  static HelpState state;
  return state;
}

QString readResource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return toQt(file.readAll().toStdString());
}

QString contentsPage() {
  QString html = "<html><body><h1>" + toQt(appTitle()).toHtmlEscaped() + " Help</h1><ul>";
  const QString index = readResource(QString(kTopicFolder) + "index.txt");
  for (const QString& line : index.split('\n')) {
    if (line.isEmpty() || line.startsWith('#')) continue;
    int tab = line.indexOf('\t');
    if (tab <= 0) continue;
    html += "<li><a href=\"" + line.left(tab) + ".html\">" + line.mid(tab + 1).toHtmlEscaped() + "</a></li>";
  }
  return html + "</ul></body></html>";
}

// The help window: a window of its own that Esc closes, as its close box does.
class HelpWindow : public QWidget {
 public:
  HelpWindow() : QWidget(nullptr, Qt::Window) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      close();
      return;
    }
    QWidget::keyPressEvent(event);
  }
};

// A modal window blocks every window but its own: while one is up, the help
// window belongs to it, so it comes up in front of it and can be used beside
// it. Once the modal window goes, the help window stays on its own.
void followModalWindow(QWidget* window) {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == window || modal == window->parentWidget()) return;
  const QPoint where = window->pos();
  window->setParent(modal, Qt::Window);
  window->move(where);
  if (!modal) return;
  new EventHook(
      modal,
      [window = QPointer<QWidget>(window), modal = QPointer<QWidget>(modal)](QEvent* event) {
        if (event->type() != QEvent::Hide) return false;
        QTimer::singleShot(0, [window, modal] {
          if (!window || !modal || window->parentWidget() != modal || modal->isVisible()) return;
          const bool shown = window->isVisible();
          const QPoint where = window->pos();
          window->setParent(nullptr, Qt::Window);
          window->move(where);
          if (shown) window->show();
        });
        return false;
      },
      window);
}

void ensureWindow() {
  HelpState& state = help();
  if (state.window) return;
  auto* window = new HelpWindow;
  window->setObjectName("Sub");
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->resize(520, 420);
  auto* browser = new QTextBrowser(window);
  browser->setObjectName("helpText");
  browser->setSearchPaths({kTopicFolder});
  browser->setOpenExternalLinks(false);
  // It first comes up at the screen's right edge, its title bar on the
  // screen, beside the window it helps with.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    window->move(std::max(area.left(), area.right() - window->width() - 8), area.top() + 8);
  }
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser);
  QObject::connect(browser, &QTextBrowser::sourceChanged, window, [](const QUrl& url) {
    bool ok = false;
    int id = url.fileName().section('.', 0, 0).toInt(&ok);
    if (ok) help().topic = id;
  });
  QObject::connect(window, &QObject::destroyed, [] { help().topic = -1; });
  state.window = window;
  state.browser = browser;
}

}  // namespace

std::string helpTopicTitle(int contextId) {
  ensureCompiledResources();
  const QString index = readResource(QString(kTopicFolder) + "index.txt");
  const QString key = QString::number(contextId) + '\t';
  for (const QString& line : index.split('\n')) {
    if (line.startsWith(key)) return fromQt(line.mid(key.size()).trimmed());
  }
  return {};
}

void showHelp(int contextId) {
  ensureCompiledResources();
  ensureWindow();
  HelpState& state = help();
  const QString topic = QString::number(contextId) + ".html";
  if (contextId != 0 && QFile::exists(kTopicFolder + topic)) {
    state.browser->setSource(QUrl(topic));
    state.topic = contextId;
  } else {
    // An unknown context shows the contents, as the help engine did.
    state.browser->setHtml(contentsPage());
    state.topic = 0;
  }
  state.window->setWindowTitle(toQt(appTitle().empty() ? std::string("Help") : appTitle() + " Help"));
  followModalWindow(state.window);
  state.window->show();
  state.window->raise();
  state.window->activateWindow();
}

int shownHelpTopic() { return help().window ? help().topic : -1; }

void closeHelp() {
  if (help().window) help().window->close();
}

namespace {

void helpForWidget(const QWidget* widget) {
  Form* form = Form::ofWidget(widget);
  if (!form) form = activeForm();
  showHelp(form ? form->helpContextId() : 0);
}

class HelpKeyFilter : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget && Form::ofWidget(widget)) {
        helpForWidget(widget);
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void installHelpKey() {
  static QPointer<HelpKeyFilter> filter;
  if (filter || !QCoreApplication::instance()) return;
  filter = new HelpKeyFilter;
  filter->setParent(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(filter);
}

void sendKeys(std::string_view keys, bool wait) {
  if (keys != "{F1}") throw platform::RuntimeError(platform::kInvalidCall);
  helpForWidget(QApplication::activeWindow());
  if (wait) doEvents();
}

}  // namespace forms

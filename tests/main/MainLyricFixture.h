#pragma once

#include "MainWindowFixture.h"

#include "pdfcontrol/BuiltInPdfControl.h"
#include "widgets/KeyValueGrid.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

namespace tarvello::test {

// A PDF file of `pages` pages, each with its number written on it.
inline QString WritePdf(const QString &path, int pages)
{
    QPdfWriter writer(path);
    QPainter painter(&writer);
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) {
            writer.newPage();
        }
        painter.drawText(200, 200, QStringLiteral("Page %1").arg(page));
    }
    return path;
}

// The Lyric page with slot files in a temporary folder that is also the
// current directory, so that slots can name their files relatively.
class TLyricTest : public TMainWindowTest {
protected:
    void SetUp() override
    {
        RegisterBuiltInPdfControl();
        ASSERT_TRUE(Folder.isValid());
        PreviousDirectory = QDir::currentPath();
        QDir::setCurrent(Folder.path());
        TMainWindowTest::SetUp();
        UseDisplayType(1);
        Lines.clear();
        connect(Window.get(), &TfMain::LineButtonsEnabledChanged,
                [this](bool enabled) { Lines.append(enabled); });
    }

    void TearDown() override
    {
        Window.reset();
        QDir::setCurrent(PreviousDirectory);
    }

    void connect(TfMain *window, void (TfMain::*signal)(bool), std::function<void(bool)> slot)
    {
        QObject::connect(window, signal, slot);
    }

    QString Write(const QString &name, const QByteArray &bytes)
    {
        QFile file(Folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    void Slot(int key, const QString &reference)
    {
        FileGrid()->SetValue(QString::number(key), reference);
    }

    QString Shown() const { return LyricText()->toPlainText(); }

    // Until a page is loaded its title is its address.
    bool Loaded(QWebEngineView *view, const QUrl &url, const QString &title)
    {
        return WaitFor([&] { return view->url() == url && view->title() == title; });
    }

    // Where the page of a browser stands, or -1 when the page does not answer.
    static double ScrollY(QWebEngineView *view)
    {
        auto y = std::make_shared<double>(-1);
        auto done = std::make_shared<bool>(false);
        view->page()->runJavaScript(QStringLiteral("window.scrollY"), [y, done](const QVariant &v) {
            *y = v.toDouble();
            *done = true;
        });
        WaitFor([done] { return *done; }, 5000);
        return *y;
    }

    QTemporaryDir Folder;
    QString PreviousDirectory;
    QList<bool> Lines;
};

} // namespace tarvello::test

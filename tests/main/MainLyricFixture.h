#pragma once

#include "MainWindowFixture.h"

#include "common/KeyValueGrid.h"
#include "pdfviewer/BuiltInPdfControl.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QWebEngineView>

namespace tarvello::test {

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
        Window->vleFiles->SetValue(QString::number(key), reference);
    }

    QString Shown() const { return Window->reLyric->toPlainText(); }

    // Until a page is loaded its title is its address.
    bool Loaded(QWebEngineView *view, const QUrl &url, const QString &title)
    {
        return WaitFor([&] { return view->url() == url && view->title() == title; });
    }

    QTemporaryDir Folder;
    QString PreviousDirectory;
    QList<bool> Lines;
};

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

} // namespace tarvello::test

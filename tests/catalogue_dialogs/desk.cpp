#include "desk.h"

#include "shell/application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>

namespace quadrela::test {

Desk::Desk(QSize pageSize, int layout)
{
    ws.state.pageLayout = layout;
    window.resize(pageSize + QSize(100, 100));
    page = new QWidget(&window);
    page->setGeometry(QRect(QPoint(50, 50), pageSize));
    background = new TFocusImage(page);
    background->setGeometry(1, 1, pageSize.width() - 2, pageSize.height() - 2);
    background->setTransparent(true);

    PageContext pageContext;
    pageContext.state = &ws.state;
    pageContext.page = page;
    pageContext.background = background;
    items = std::make_unique<TCampos>(std::move(pageContext));

    if (auto* app = qobject_cast<Application*>(qApp))
        app->setDialogs(&dialogs);
}

Desk::~Desk()
{
    if (auto* app = qobject_cast<Application*>(qApp))
        app->setDialogs(nullptr);
    items.reset();
}

ProjectContext Desk::context()
{
    return ProjectContext{ws.state, *items, page, background, dialogs, &window};
}

TformNovo::MainWindowLink Desk::link()
{
    return {[this] { return context(); }, [this] { ++scrollResizes; }};
}

QStringList Desk::workingFiles() const
{
    return QDir(ws.state.workingFolder).entryList(QDir::Files, QDir::Name);
}

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

QStringList captions(const QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

void clickRow(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    QVERIFY(item);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    settle();
}

QString writeHalfTransparentPng(const QString& path, QSize size, QColor fill)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < size.height(); ++y)
        for (int x = size.width() / 2; x < size.width(); ++x)
            image.setPixelColor(x, y, fill);
    return image.save(path, "PNG") ? path : QString();
}

} // namespace quadrela::test

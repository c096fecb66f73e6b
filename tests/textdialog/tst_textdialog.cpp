// The text dialog driven as the user drives it: showing it, typing, choosing attributes,
// OK and Cancel, for new blocks and for blocks being changed.
#include "imaging/form_Texto.h"
#include "page/Imgfocus.h"
#include "page/items.h"
#include "storage/codemaps.h"
#include "workspace.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

#include <memory>

using namespace quadrela;
using namespace quadrela::test;

namespace {

TextAttributes attributes(const QString& font, int size, ColorRef color, quint8 alignment,
                          quint8 style)
{
    TextAttributes a;
    a.FontName = font;
    a.FontSize = size;
    a.Color = color;
    a.Alignment = alignment;
    a.Style = style;
    return a;
}

// A page with its item list and the text dialog, as the main window holds them.
class Fixture
{
public:
    Fixture()
    {
        page = new QWidget(&window);
        page->setGeometry(0, 0, 496, 702);
        background = new TFocusImage(page);
        background->setGeometry(1, 1, 494, 700);
        PageContext context;
        context.state = &ws.state;
        context.page = page;
        context.background = background;
        items = std::make_unique<TCampos>(std::move(context));
        dialog = std::make_unique<TformTexto>(ws.state, *items);
    }
    ~Fixture() { dialog.reset(); }

    int addText(const QString& text, const TextAttributes& a, QPoint at)
    {
        ws.state.text = a;
        const int index = items->Add(TextItem, text);
        TDesc d;
        d.Text = text;
        d.FontName = a.FontName;
        d.FontSize = a.FontSize;
        d.Color = a.Color;
        d.Alignment = a.Alignment;
        d.Style = a.Style;
        items->Items(index).SetAttributes(d);
        items->Items(index).Image()->move(at);
        return index;
    }

    int addPicture()
    {
        const QString path =
            writePicture(ws.state.workingFolder + QStringLiteral("p.png"), QSize(40, 30));
        return items->Add(PictureItem, path);
    }

    // What a double-click on a text item does before it shows the dialog.
    void startChanging(int index)
    {
        const TImg& item = items->Items(index);
        ws.state.editing.Index = index;
        ws.state.editing.Text = item.Attributes().Text;
        ws.state.editing.Active = true;
        ws.state.editing.control = item.Image();
        const TDesc& a = item.Attributes();
        ws.state.text = attributes(a.FontName, a.FontSize, a.Color, a.Alignment, a.Style);
        if (!dialog) // the program makes the dialog when it is first asked for
            dialog = std::make_unique<TformTexto>(ws.state, *items);
        dialog->showForEditing();
    }

    // The item controls in stacking order, back-most first.
    QList<TFocusImage*> stack() const
    {
        QList<TFocusImage*> out;
        for (QObject* child : page->children()) {
            auto* control = qobject_cast<TFocusImage*>(child);
            if (control && items->IndexOf(control) >= 0)
                out.append(control);
        }
        return out;
    }

    Workspace ws;
    QWidget window;
    QWidget* page = nullptr;
    TFocusImage* background = nullptr;
    std::unique_ptr<TCampos> items;
    std::unique_ptr<TformTexto> dialog;
};

// Types text as a keyboard does, one character at a time, including characters that
// QTest::keyClicks cannot send.
void type(QWidget* widget, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString unit = text.at(i);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            unit += text.at(++i);
        if (unit == u"\n") {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, unit);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, unit);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

QString lineEnds(const QString& text)
{
    return QString(text).replace(u'\n', QStringLiteral("\r\n"));
}

} // namespace

Q_DECLARE_METATYPE(quadrela::TextAttributes)

class TestTextDialog : public QObject
{
    Q_OBJECT

private slots:
    void showSetsControls_data();
    void showSetsControls();
    void showKeepsTextForNewBlock();
    void okAddsBlock_data();
    void okAddsBlock();
    void okEmptyWhileAddingDoesNothing();
    void changeBlock_data();
    void changeBlock();
    void editingFollowsItsBlock();
    void editedBlockDeletedMeanwhile();
    void cancelRestores();
    void styleEntries_data();
    void styleEntries();
    void alignmentButtons_data();
    void alignmentButtons();
    void refusedCharacters_data();
    void refusedCharacters();
    void sizeBox();
    void fontFamilies_data();
    void fontFamilies();
};

void TestTextDialog::showSetsControls_data()
{
    QTest::addColumn<TextAttributes>("current");
    QTest::addColumn<int>("colorEntry");
    QTest::addColumn<int>("sizeShown");
    QTest::addColumn<int>("styleEntry");

    QTest::newRow("start values") << attributes(QStringLiteral("Arial"), 10, 0, 0, 0) << 0 << 10
                                  << 0;
    QTest::newRow("installed font, red, bold, centred")
        << attributes(QStringLiteral("Liberation Serif"), 22, 0x0000FF, 1, StyleBold) << 9 << 22
        << 2;
    QTest::newRow("font not installed keeps its own name")
        << attributes(QStringLiteral("Fonte Inexistente"), 12, 0xFFFFFF, 2, StyleItalic) << 15 << 12
        << 1;
    QTest::newRow("bold italic, navy")
        << attributes(QStringLiteral("Arial"), 48, 0x800000, 0, StyleBold | StyleItalic) << 4 << 48
        << 3;
    // Values the dialog cannot show stay as they are: no change handler runs.
    QTest::newRow("colour outside the list, size above the box")
        << attributes(QStringLiteral("Arial"), 80, 0x123456, 0, 0) << 0 << 48 << 0;
    QTest::newRow("size below the box")
        << attributes(QStringLiteral("Arial"), 0, 0, 0, 0) << 0 << 4 << 0;
}

void TestTextDialog::showSetsControls()
{
    QFETCH(TextAttributes, current);
    QFETCH(int, colorEntry);
    QFETCH(int, sizeShown);
    QFETCH(int, styleEntry);

    Fixture f;
    // The list shows something else before, so that setting it is a change.
    f.dialog->cbEstilo->setCurrentIndex(styleEntry == 3 ? 0 : 3);
    f.dialog->cbCores->setCurrentIndex(colorEntry == 7 ? 6 : 7);
    f.ws.state.text = current;
    f.dialog->show();

    QCOMPARE(f.ws.state.text, current);
    QCOMPARE(f.dialog->cbFont->currentText(), current.FontName);
    QCOMPARE(f.dialog->cbCores->currentIndex(), colorEntry);
    QCOMPARE(f.dialog->edTamanho->value(), sizeShown);
    QCOMPARE(f.dialog->cbEstilo->currentIndex(), styleEntry);
    QToolButton* buttons[] = {f.dialog->spbtEsquerda, f.dialog->spbtCentro, f.dialog->spbtDireita};
    for (int i = 0; i < 3; ++i)
        QCOMPARE(buttons[i]->autoRaise(), i == current.Alignment);

    // Shown twice, a face that is not installed is listed once.
    f.dialog->hide();
    f.dialog->show();
    QCOMPARE(f.dialog->cbFont->findText(current.FontName), f.dialog->cbFont->currentIndex());
    int copies = 0;
    for (int i = 0; i < f.dialog->cbFont->count(); ++i)
        copies += f.dialog->cbFont->itemText(i) == current.FontName;
    QCOMPARE(copies, 1);
    QCOMPARE(f.ws.state.text, current);
}

void TestTextDialog::showKeepsTextForNewBlock()
{
    Fixture f;
    f.dialog->show();
    type(f.dialog->memoText, QStringLiteral("guardado"));
    f.dialog->btCancelar->click();
    f.dialog->show();
    QCOMPARE(f.dialog->memoText->toPlainText(), QStringLiteral("guardado"));
}

void TestTextDialog::okAddsBlock_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("colorEntry");
    QTest::addColumn<int>("steps"); // size box arrow steps from 10
    QTest::addColumn<int>("styleEntry");
    QTest::addColumn<TextAttributes>("expected");

    QTest::newRow("one line, start attributes")
        << QStringLiteral("Olá") << 0 << 0 << 0 << attributes(QStringLiteral("Arial"), 10, 0, 0, 0);
    QTest::newRow("two lines in red bold, larger")
        << QStringLiteral("Feliz\nNatal") << 9 << 4 << 2
        << attributes(QStringLiteral("Arial"), 14, 0x0000FF, 0, StyleBold);
    QTest::newRow("accents and a blank line, italic lime")
        << QStringLiteral("Coração\n\nAçúcar €5") << 10 << -3 << 1
        << attributes(QStringLiteral("Arial"), 7, 0x00FF00, 0, StyleItalic);
}

void TestTextDialog::okAddsBlock()
{
    QFETCH(QString, typed);
    QFETCH(int, colorEntry);
    QFETCH(int, steps);
    QFETCH(int, styleEntry);
    QFETCH(TextAttributes, expected);

    Fixture f;
    f.addPicture();
    f.dialog->show();
    type(f.dialog->memoText, typed);
    f.dialog->cbCores->setCurrentIndex(colorEntry);
    f.dialog->edTamanho->stepBy(steps);
    f.dialog->cbEstilo->setCurrentIndex(styleEntry);
    QTest::mouseClick(f.dialog->btOK, Qt::LeftButton);

    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.ws.state.text, expected);
    QCOMPARE(f.items->Count(), 2);
    const TImg& block = f.items->Items(1);
    QCOMPARE(block.Kind(), quint8(TextItem));
    QCOMPARE(block.Attributes().Text, lineEnds(typed) + QStringLiteral("\r\n"));
    QCOMPARE(block.Attributes().FileName, QString());
    QCOMPARE(block.Attributes().FontName, expected.FontName);
    QCOMPARE(block.Attributes().FontSize, expected.FontSize);
    QCOMPARE(block.Attributes().Color, expected.Color);
    QCOMPARE(block.Attributes().Style, expected.Style);
    QCOMPARE(block.Attributes().Alignment, expected.Alignment);
    QVERIFY(block.Image()->transparent());
    QCOMPARE(f.stack().last(), block.Image());
    QVERIFY(!f.ws.state.editing.Active);
}

void TestTextDialog::okEmptyWhileAddingDoesNothing()
{
    Fixture f;
    f.addPicture();
    f.dialog->show();
    f.dialog->memoText->clear();
    f.dialog->btOK->click();
    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.items->Count(), 1);
}

void TestTextDialog::changeBlock_data()
{
    QTest::addColumn<QString>("newText"); // empty: the text box is emptied
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("madeOnRequest"); // the dialog did not exist before the request

    QTest::newRow("larger font: same place, on top") << QStringLiteral("Outro texto") << 6 << false;
    QTest::newRow("same attributes, new text") << QStringLiteral("Linha 1\nLinha 2") << 0 << false;
    QTest::newRow("emptied: the block goes") << QString() << 0 << false;
    QTest::newRow("dialog made by the request") << QStringLiteral("Outro texto") << 6 << true;
}

void TestTextDialog::changeBlock()
{
    QFETCH(QString, newText);
    QFETCH(int, steps);
    QFETCH(bool, madeOnRequest);

    Fixture f;
    if (madeOnRequest)
        f.dialog.reset();
    const TextAttributes blue = attributes(QStringLiteral("Arial"), 16, 0xFF0000, 2, StyleBold);
    f.addText(QStringLiteral("Primeiro"), attributes(QStringLiteral("Arial"), 10, 0, 0, 0),
              QPoint(5, 5));
    f.addText(QStringLiteral("Mudar\r\naqui"), blue, QPoint(120, 340));
    f.addPicture();
    TFocusImage* old = f.items->Items(1).Image();
    const QPointer<TFocusImage> watch(old);
    f.ws.state.text = attributes(QStringLiteral("Outra"), 30, 0, 1, 0);

    f.startChanging(1);
    QVERIFY(f.dialog->isVisible());
    QCOMPARE(f.dialog->memoText->toPlainText(), QStringLiteral("Mudar\naqui"));
    QCOMPARE(f.dialog->edTamanho->value(), 16);
    QCOMPARE(f.dialog->cbCores->currentIndex(), 12);
    f.dialog->memoText->selectAll();
    QTest::keyClick(f.dialog->memoText, Qt::Key_Delete);
    type(f.dialog->memoText, newText);
    f.dialog->edTamanho->stepBy(steps);
    f.dialog->btOK->click();

    QVERIFY(watch.isNull()); // the old control went with its item
    QVERIFY(!f.ws.state.editing.Active);
    if (newText.isEmpty()) {
        QCOMPARE(f.items->Count(), 2);
        QCOMPARE(f.items->Items(0).Attributes().Text, QStringLiteral("Primeiro"));
        QCOMPARE(f.items->Items(1).Kind(), quint8(PictureItem));
        return;
    }
    QCOMPARE(f.items->Count(), 3);
    const TImg& changed = f.items->Items(2);
    QCOMPARE(changed.Attributes().Text, lineEnds(newText) + QStringLiteral("\r\n"));
    QCOMPARE(changed.Attributes().FontSize, 16 + steps);
    QCOMPARE(changed.Attributes().Color, blue.Color);
    QCOMPARE(changed.Attributes().Alignment, blue.Alignment);
    QCOMPARE(changed.Image()->pos(), QPoint(120, 340));
    QCOMPARE(f.stack().last(), changed.Image());
    QCOMPARE(f.items->Items(1).Kind(), quint8(PictureItem));
}

void TestTextDialog::editingFollowsItsBlock()
{
    Fixture f;
    f.addPicture();
    f.addText(QStringLiteral("Outro"), TextAttributes(), QPoint(1, 1));
    f.addText(QStringLiteral("Este"), TextAttributes(), QPoint(200, 300));
    f.startChanging(2);

    // While the dialog is open, the items before the block are deleted from the page.
    f.items->Delete(0);
    f.items->Delete(0);
    f.dialog->memoText->moveCursor(QTextCursor::End);
    type(f.dialog->memoText, QStringLiteral(" mudado"));
    f.dialog->btOK->click();

    QCOMPARE(f.items->Count(), 1);
    QCOMPARE(f.items->Items(0).Attributes().Text, QStringLiteral("Este mudado\r\n"));
    QCOMPARE(f.items->Items(0).Image()->pos(), QPoint(200, 300));
}

void TestTextDialog::editedBlockDeletedMeanwhile()
{
    Fixture f;
    f.addText(QStringLiteral("Fica"), TextAttributes(), QPoint(1, 1));
    f.addText(QStringLiteral("Some"), TextAttributes(), QPoint(200, 300));
    f.startChanging(1);
    f.items->Delete(1);
    f.dialog->btOK->click();

    QCOMPARE(f.items->Count(), 2);
    QCOMPARE(f.items->Items(0).Attributes().Text, QStringLiteral("Fica"));
    QCOMPARE(f.items->Items(1).Attributes().Text, QStringLiteral("Some\r\n"));
    QVERIFY(!f.ws.state.editing.Active);
}

void TestTextDialog::cancelRestores()
{
    Fixture f;
    const TextAttributes before =
        attributes(QStringLiteral("Fonte Inexistente"), 12, 0x008080, 1, StyleItalic);
    f.ws.state.text = before;
    f.dialog->show();
    f.dialog->cbCores->setCurrentIndex(9);
    f.dialog->cbFont->setCurrentIndex(
        f.dialog->cbFont->findText(QStringLiteral("Liberation Sans")));
    QVERIFY(!f.dialog->memoText->font().italic()); // the face only
    f.dialog->edTamanho->stepBy(5);
    f.dialog->cbEstilo->setCurrentIndex(3);
    QTest::mouseClick(f.dialog->spbtDireita, Qt::LeftButton);
    QVERIFY(f.ws.state.text != before);
    type(f.dialog->memoText, QStringLiteral("fica no texto"));
    f.ws.state.editing.Active = true;
    QTest::keyClick(f.dialog->memoText, Qt::Key_Escape); // as Cancel does

    QVERIFY(!f.dialog->isVisible());
    QCOMPARE(f.ws.state.text, before);
    QVERIFY(!f.ws.state.editing.Active);
    QCOMPARE(f.items->Count(), 0);

    // The next new block uses the attributes of before.
    f.dialog->show();
    QCOMPARE(f.dialog->memoText->toPlainText(), QStringLiteral("fica no texto"));
    f.dialog->btOK->click();
    QCOMPARE(f.items->Count(), 1);
    QCOMPARE(f.items->Items(0).Attributes().Color, before.Color);
    QCOMPARE(f.items->Items(0).Attributes().FontName, before.FontName);
}

void TestTextDialog::styleEntries_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("style");

    QTest::newRow("Normal") << QStringLiteral("Normal") << 0;
    QTest::newRow("Itálico stores italic") << QStringLiteral("Itálico") << int(StyleItalic);
    QTest::newRow("Negrito stores bold") << QStringLiteral("Negrito") << int(StyleBold);
    QTest::newRow("Negrito Itálico")
        << QStringLiteral("Negrito Itálico") << int(StyleBold | StyleItalic);
}

void TestTextDialog::styleEntries()
{
    QFETCH(QString, entry);
    QFETCH(int, style);

    Fixture f;
    f.ws.state.text.Style = style == 0 ? StyleBold : 0;
    f.ws.state.text.FontName = QStringLiteral("Liberation Mono");
    f.dialog->show();
    f.dialog->cbEstilo->setCurrentIndex(f.dialog->cbEstilo->findText(entry));
    QCOMPARE(f.dialog->memoText->font().family(), QStringLiteral("Arial")); // style only
    QCOMPARE(int(f.ws.state.text.Style), style);
    QCOMPARE(f.dialog->memoText->font().bold(), bool(style & StyleBold));
    QCOMPARE(f.dialog->memoText->font().italic(), bool(style & StyleItalic));
    // The record file stores the entry's position.
    QCOMPARE(StyleToCode(f.ws.state.text.Style), f.dialog->cbEstilo->currentIndex());
}

void TestTextDialog::alignmentButtons_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << 0;
    QTest::newRow("centre") << 1;
    QTest::newRow("right") << 2;
}

void TestTextDialog::alignmentButtons()
{
    QFETCH(int, button);

    Fixture f;
    f.ws.state.text.Alignment = quint8((button + 1) % 3);
    f.dialog->show();
    QToolButton* buttons[] = {f.dialog->spbtEsquerda, f.dialog->spbtCentro, f.dialog->spbtDireita};
    QTest::mouseClick(buttons[button], Qt::LeftButton);
    QCOMPARE(int(f.ws.state.text.Alignment), button);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(buttons[i]->autoRaise(), i == button); // the one in force is flat
}

void TestTextDialog::refusedCharacters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("paste");
    QTest::addColumn<QString>("result");

    QTest::newRow("Windows-1252 letters and signs pass")
        << QStringLiteral("Ação € “x” ½") << false << QStringLiteral("abc Ação € “x” ½");
    QTest::newRow("a letter outside Windows-1252")
        << QStringLiteral("ő") << false << QStringLiteral("abc ");
    QTest::newRow("an emoji") << QStringLiteral("😀") << false << QStringLiteral("abc ");
    QTest::newRow("a bracket") << QStringLiteral("[1]") << false << QStringLiteral("abc 1]");
    QTest::newRow("the text end marker is never formed")
        << QStringLiteral("#/T#") << false << QStringLiteral("abc #/T");
    QTest::newRow("the marker's start followed by other text")
        << QStringLiteral("#/Tx") << false << QStringLiteral("abc #/Tx");
    QTest::newRow("pasted text with a bracket")
        << QStringLiteral("ok [x]") << true << QStringLiteral("abc ");
    QTest::newRow("pasted text with a letter outside the code page")
        << QStringLiteral("Łódź") << true << QStringLiteral("abc ");
    QTest::newRow("a no-break space stays one")
        << QStringLiteral("R$\u00A010") << false << QStringLiteral("abc R$\u00A010");
    QTest::newRow("pasted plain text")
        << QStringLiteral("Olá\nmundo") << true << QStringLiteral("abc Olá\nmundo");
}

void TestTextDialog::refusedCharacters()
{
    QFETCH(QString, typed);
    QFETCH(bool, paste);
    QFETCH(QString, result);

    Fixture f;
    f.dialog->show();
    f.dialog->memoText->clear();
    type(f.dialog->memoText, QStringLiteral("abc "));
    if (paste) {
        QApplication::clipboard()->setText(typed);
        f.dialog->memoText->paste();
    } else {
        type(f.dialog->memoText, typed);
    }
    QCOMPARE(f.dialog->memoText->document()->toRawText().replace(QChar::ParagraphSeparator, u'\n'),
             result);
    QCOMPARE(f.dialog->blockText(), lineEnds(result) + QStringLiteral("\r\n"));
    // Typing goes on at the place where the refused character would have gone.
    type(f.dialog->memoText, QStringLiteral("!"));
    QCOMPARE(f.dialog->blockText(), lineEnds(result) + QStringLiteral("!\r\n"));
}

void TestTextDialog::sizeBox()
{
    Fixture f;
    f.dialog->show();
    QSpinBox* box = f.dialog->edTamanho;
    QCOMPARE(box->value(), 10);
    QTest::keyClicks(box, QStringLiteral("3"));
    box->interpretText();
    QCOMPARE(box->value(), 10);
    QCOMPARE(f.ws.state.text.FontSize, 10);
    QTest::keyClick(box, Qt::Key_Up);
    QCOMPARE(f.ws.state.text.FontSize, 11);
    box->stepBy(100);
    QCOMPARE(box->value(), 48);
    QCOMPARE(f.ws.state.text.FontSize, 48);
    box->stepBy(-100);
    QCOMPARE(box->value(), 4);
    QCOMPARE(f.ws.state.text.FontSize, 4);
}

void TestTextDialog::fontFamilies_data()
{
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QStringList>("choices");
    QTest::newRow("foundries, aliases, sorted")
        << QStringList{"C059 [UKWN]", "Serif", "arimo", "C059 [urw]", "Monospace", "Sans Serif"}
        << QStringList{"arimo", "C059"};
}

void TestTextDialog::fontFamilies()
{
    QFETCH(QStringList, families);
    QFETCH(QStringList, choices);
    QCOMPARE(fontFamilyChoices(families), choices);
}

QTEST_MAIN(TestTextDialog)
#include "tst_textdialog.moc"

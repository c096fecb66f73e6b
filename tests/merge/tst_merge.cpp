// Spreadsheet rows for printing: CSV dialects as spreadsheets save them, and fields.
#include "core/errors.h"
#include "merge/csvreader.h"
#include "merge/fields.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace quadrela;

class TestMerge : public QObject
{
    Q_OBJECT

private slots:
    void dialects_data();
    void dialects();
    void unreadable_data();
    void unreadable();
    void fill_data();
    void fill();
    void match();

private:
    QString write(const QByteArray& bytes);
    QTemporaryDir m_dir;
};

QString TestMerge::write(const QByteArray& bytes)
{
    static int n = 0;
    const QString path = m_dir.filePath(QStringLiteral("%1.csv").arg(++n));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Rows are written "line:field|field", one per data row.
void TestMerge::dialects_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<char>("separator");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("semicolons, Windows-1252, CR LF, decimal commas")
        << QByteArray("Nome;Pre\xE7o\r\nJo\xE3o;1,50\r\n") << ';' << false
        << QStringList{"1:Nome|Preço", "2:João|1,50"};
    QTest::newRow("commas, UTF-8 with BOM")
        << QByteArray("\xEF\xBB\xBFNome,Cidade\nJos\xC3\xA9,S\xC3\xA3o Paulo\n") << ',' << true
        << QStringList{"1:Nome|Cidade", "2:José|São Paulo"};
    QTest::newRow("tabs, blanks kept, empty cells")
        << QByteArray("Nome\tCargo\tFone\n Ana \t\t123\n") << '\t' << true
        << QStringList{"1:Nome|Cargo|Fone", "2: Ana ||123"};
    QTest::newRow("quoted separators, doubled quotes, line break inside")
        << QByteArray("Nome,Obs\n\"Silva, Ana\",\"diz \"\"oi\"\"\nduas linhas\"\nBia,x\n") << ','
        << true << QStringList{"1:Nome|Obs", "2:Silva, Ana|diz \"oi\"\nduas linhas", "3:Bia|x"};
    QTest::newRow("commas inside a semicolon header")
        << QByteArray("Nome;Endere\xC3\xA7o, n\xC3\xBAmero\nAna;Rua A, 1\n") << ';' << true
        << QStringList{"1:Nome|Endereço, número", "2:Ana|Rua A, 1"};
    QTest::newRow("rows of empty cells are no rows but keep their number")
        << QByteArray("A;B\n;\nx;y\n;\n") << ';' << true << QStringList{"1:A|B", "3:x|y"};
    QTest::newRow("ragged rows read as they are")
        << QByteArray("A;B;C\n1;2\n1;2;3;4\n") << ';' << true
        << QStringList{"1:A|B|C", "2:1|2", "3:1|2|3|4"};
    QTest::newRow("one column: commas belong to the values")
        << QByteArray("Nome\nSouza, Ana\n\"Lima; Bia\"\n") << '\0' << true
        << QStringList{"1:Nome", "2:Souza, Ana", "3:Lima; Bia"};
    QTest::newRow("header longer than the sample")
        << QByteArray("c;").repeated(40000) + "\n1;2\n" << ';' << true
        << QStringList{"1:" + QString("c|").repeated(40000), "2:1|2"};
    // Only the end of the file shows it is not UTF-8.
    QTest::newRow("Windows-1252 beyond the first 64 KiB")
        << QByteArray("A;B\n") + QByteArray("x;y\n").repeated(20000) + QByteArray("\xC9;z\n") << ';'
        << false << QStringList{"1:A|B", "2:x|y", "20002:É|z"};
}

void TestMerge::dialects()
{
    QFETCH(QByteArray, bytes);
    QFETCH(char, separator);
    QFETCH(bool, utf8);
    QFETCH(QStringList, rows);

    CsvReader reader(write(bytes));
    QCOMPARE(reader.dialect().separator, separator);
    QCOMPARE(reader.dialect().encoding == CsvEncoding::Utf8, utf8);
    QStringList got{QStringLiteral("1:") + reader.header().join(u'|')};
    CsvRecord record;
    QString last;
    while (reader.next(record)) {
        last = QStringLiteral("%1:%2").arg(record.line).arg(record.fields.join(u'|'));
        if (got.size() < 3)
            got.append(last);
    }
    // The first rows, and the last one wherever it is.
    got.last() = last;
    QCOMPARE(got, rows);
    reader.rewind();
    QVERIFY(reader.next(record));
    QCOMPARE(QStringLiteral("%1:%2").arg(record.line).arg(record.fields.join(u'|')), rows.at(1));
}

void TestMerge::unreadable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    // Bytes that start with a slash name the file to read.
    const QString huge = write("A;B\n");
    QVERIFY(QFile::resize(huge, kMaxCsvFileBytes + 1));
    QTest::newRow("larger than any spreadsheet") << huge.toUtf8() << "grande demais";
    QTest::newRow("a device that never ends") << QByteArray("/dev/zero") << "não é um arquivo comum";
    QTest::newRow("a column name too long")
        << QByteArray("A;") + QByteArray(kMaxCsvFieldBytes + 1, 'b') << "Linha 1, coluna 2";
    QTest::newRow("empty file") << QByteArray() << "está vazio";
    QTest::newRow("only a byte-order mark and blank lines")
        << QByteArray("\xEF\xBB\xBF\r\n\r\n") << "está vazio";
    QTest::newRow("UTF-16 text") << QByteArray("\xFF\xFEN\0o\0m\0e\0", 10) << "não é uma planilha";
    QTest::newRow("a picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                               << "não é uma planilha";
    QTest::newRow("control characters")
        << QByteArray("\x01\x02\x03\x04 abc").repeated(10) << "não é uma planilha";
}

void TestMerge::unreadable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        CsvReader reader(bytes.startsWith('/') ? QString::fromUtf8(bytes) : write(bytes));
        QFAIL("read");
    } catch (const Error& e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
}

void TestMerge::fill_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("filled");

    // The header is Nome | Endereço | E-mail | Mesa 2; the row Ana | Rua A | a@b | 7.
    QTest::newRow("one field") << "Olá, {Nome}!"
                               << "Olá, Ana!";
    QTest::newRow("case and accents ignored") << "{NOME} {endereco}"
                                              << "Ana Rua A";
    QTest::newRow("blanks collapsed, digits") << "{ mesa   2 }"
                                              << "7";
    QTest::newRow("signs ignored") << "{Email} {e-mail} {E_MAIL}"
                                   << "a@b a@b a@b";
    QTest::newRow("repeated field") << "{Nome}/{nome}"
                                    << "Ana/Ana";
    QTest::newRow("doubled braces are literal") << "{{Nome}} }} {{"
                                                << "{Nome} } {";
    QTest::newRow("no column: kept as typed") << "{Cidade} {Nome}"
                                              << "{Cidade} Ana";
    QTest::newRow("not a name: kept as typed") << "{-} {} { } {Nome {No\nme}"
                                               << "{-} {} { } {Nome {No\nme}";
    QTest::newRow("lone closing brace") << "a } b"
                                        << "a } b";
    QTest::newRow("line breaks around fields") << "{Nome}\r\n{Mesa 2}"
                                               << "Ana\r\n7";
}

void TestMerge::fill()
{
    QFETCH(QString, text);
    QFETCH(QString, filled);
    const QStringList header{"Nome", "Endereço", "E-mail", "Mesa 2"};
    const FieldMatch match = matchFields(fieldNames(text), header);
    QCOMPARE(fillFields(text, match, {"Ana", "Rua A", "a@b", "7"}), filled);
}

void TestMerge::match()
{
    const FieldMatch m =
        matchFields({"Nome", "Cidade", "nome", "CPF"}, {"NOME", "", "Cpf", "Estado", "Nóme"});
    QCOMPARE(m.columnOf.value(fieldKey(QStringLiteral("nome"))), 0);
    QCOMPARE(m.columnOf.value(fieldKey(QStringLiteral("CPF"))), 2);
    QCOMPARE(m.unmatchedFields, QStringList{"Cidade"});
    QCOMPARE(m.unusedColumns, (QStringList{"Estado", "Nóme"}));
    QCOMPARE(m.ambiguousFields, QStringList{"Nome"});
}

QTEST_MAIN(TestMerge)
#include "tst_merge.moc"

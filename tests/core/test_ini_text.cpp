#include "core/ini_text.h"
#include "kor_test_helpers.h"

#include <QSettings>
#include <QTemporaryDir>
#include <random>

namespace {
// Bits of text that mean something to the format, and whole lines people and programs leave.
const char *const kBits[] = {
    "[", "]", "=", "=", ";", "\"", "\\", ",", " ", " ", "\t", "\n", "\r", "\r\n", "%", "%U", "x", "X", "0", "7", "8",
    "a", "F", "@", "@@", "@ByteArray(", "@String(", "@Invalid()", ")", "general", "%general", "config", "/", "\v", "\f",
    "\xc3\xa9", "\xe9", "\xe4\xb8", "\xad", "\\x", "\\X", "\\0", "\\1", "\\n", "\\\n", "\\\r\n", "k", "'", "?", "#", "-",
    "+", "\\x4", "\\x4g", "\"\"", "%41", "%U0041", " 1", "\xEF\xBB\xBF",
};
const char *const kLines[] = {
    "[config]", "[other]", "[net/eth0]", "[ config ]", "[General]", "[%63onfig]", "[config", "[]", "[a\\b]", "[%general]",
    "; comment, with = sign", "# panel: 55\" cabinet", "IPAddress=10.1.2.3", "IPAddress\t=\t10.9.9.9\t", "  GateWay=10.0.0.1 ; note",
    "barcode=AB12;CD34", "path=C:\\dir\\x", "name=\"quoted, value\"", "utf=caf\xc3\xa9", "\x01\x02garbage==", "novalue",
    "SubNetMask=a, b, c", "SubNetMask=\"255.0.0.0\"", "x=abc\\", "TcpPort=\\x41\\x42", "TcpPort=\\X41", "TcpPort=\\x4142F",
    "UdpPort=@@at", "UdpPort=@Invalid()", "usbupgradedir=\" \"", "usbupgradedir=", "agecode=12\\t34  ", "lcdlangvalid=\\101",
    "lcdlangvalid=\\0\\08\\777", "IPAddress=\"1.2\" 3", "GateWay=a\\\"b", "k\\ey=v", "GateWay=  \"  spaced \" ", "IPAddress=\\",
    "GateWay=ab  \\x", "agecode=\"a \" b  ", "note=\"unterminated", "=novalue", "IPAddress==x", "agecode=a,", "agecode=\"a\",\"b\"",
    "IPAddress = 10.9.9.9  ", "IPAddress=1.1.1.1;x", "TcpPort=\xe4\xb8\xad", "[config] trailing", "# network settings, set at the factory",
    "config\\IPAddress=1.1.1.1", "%U0041%41=1", "%+1=2", "%-Fx=3", "%U 0x41=4", "%U0X4F=5", "s=@String(a b)",
    "q=\"a\\\n\nb\\\r\rc\\\r\nd\\\n\re\"", "k=@ByteArray(\\xe9\\0)", "k=@String(a,b)", "k=\\a\\b\\f\\v\\?\\'\\q",
};
const char *const kBreaks[] = {"\n", "\r\n", "\r", "\n\r"};

QByteArray generated_text(std::mt19937 &random)
{
    QByteArray text = random() % 5 ? QByteArray() : QByteArray("\xEF\xBB\xBF");
    const char *eol = kBreaks[random() % 4];
    const int n = int(random() % 30);
    for (int i = 0; i < n; ++i) {
        if (random() % 2) {
            text += kLines[random() % (sizeof kLines / sizeof *kLines)];
            if (random() % 8)
                text += eol;
        } else {
            text += kBits[random() % (sizeof kBits / sizeof *kBits)];
        }
    }
    return text;
}

// A key QSettings can be asked for: it normalizes what it is asked, not what it lists.
bool askable(const QString &key)
{
    return !key.isEmpty() && !key.startsWith('/') && !key.endsWith('/') && !key.contains("//") && !key.contains('\\');
}

bool same(const QVariant &a, const QVariant &b)
{
    if (a.userType() != b.userType())
        return false;
    if (a.userType() != QMetaType::QVariantList)
        return a == b;
    const QVariantList x = a.toList(), y = b.toList();
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), same);
}

QString shown(const QByteArray &text)
{
    return QString::fromLatin1(text.toPercentEncoding(" =[];,\"\\/@"));
}

// Values of every kind the writer may be given, those that need care in particular.
const QVariant kValues[] = {
    QString("10.2.3.4"), QString("a;b"), QString("\\back\\"), QString::fromUtf8("caf\xc3\xa9"), QString("@x"), QString(" sp "),
    QString("x,y"), QString("q\"q"), QString("1\t2"), QString::fromUtf8("\xe4\xb8\xad"), QString(""), QString(QChar(0)) + "1",
    QString("\x01" "a"), QString(QChar(0xD800)) + "b", QString(QChar(0xDC00)), QString::fromUtf16(u"\U0001F600"), QString("\x7f" "F"),
    QString("@Invalid()"), QString("@"), QString(" lead"), QStringList{"a", ""}, QStringList{"", ""}, QStringList{"@a", "b,c", " "},
    QByteArray("a\0b,\xe9\0" "7", 7), QVariant(),
};
}

// The reader against QSettings itself, and what a change leaves for QSettings to read.
class TestIniText : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    // What QSettings reads of `text`: every key it lists, with its value where it can be asked.
    QVariantMap theirs(const QByteArray &text)
    {
        // A file of its own each: QSettings keeps what it read of a path.
        const QString path = m_dir.filePath(QString("%1.ini").arg(m_files++));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(path));
        file.close();
        QSettings settings(path, QSettings::IniFormat);
        QVariantMap out;
        for (const QString &key : settings.allKeys())
            out.insert(key, askable(key) ? settings.value(key) : QVariant());
        return out;
    }
    static QVariantMap mine(const IniText &ini)
    {
        QVariantMap out;
        for (const QString &key : ini.keys())
            out.insert(key, askable(key) ? ini.value(key) : QVariant());
        return out;
    }
    static QString differences(const QVariantMap &a, const QVariantMap &b)
    {
        QString out;
        for (const QString &key : a.keys() + b.keys())
            if (!a.contains(key) || !b.contains(key) || !same(a[key], b[key]))
                out += QString("\n  %1: %2 / %3").arg(key, a.value(key).toString(), b.value(key).toString());
        return out;
    }

private slots:
    // Generated texts read as QSettings reads them, every key. Then two keys are set in turn:
    // the new text gives the key its value and every other key what it had, or, where no place
    // for the key is seen by readers (a quote left open), the text stays as it was.
    void reads_and_writes_as_qsettings_does()
    {
        std::mt19937 random(24);
        const char *const groups[] = {"config", "a", "net/eth0", "other"};
        const char *const keys[] = {"IPAddress", "k", "GateWay", "b/x"};
        int written = 0;
        for (int n = 0; n < 1500; ++n) {
            const QByteArray text = generated_text(random);
            IniText ini(text);
            QVariantMap expected = theirs(text);
            const QString diff = differences(mine(ini), expected);
            QVERIFY2(diff.isEmpty(), qPrintable(shown(text) + diff));
            for (int set = 0; set < 2; ++set) {
                const QString group = groups[random() % 4], key = keys[random() % 4];
                const QVariant value = kValues[random() % (sizeof kValues / sizeof *kValues)];
                const QByteArray before = ini.text();
                if (!ini.set_value(group, key, value)) {
                    QCOMPARE(ini.text(), before);
                    QVERIFY2(ini.open_quote_line() > 0, qPrintable(shown(before) + " refused " + group + "/" + key));
                    continue;
                }
                ++written;
                expected.insert(group + "/" + key, value);
                const QString changed = differences(theirs(ini.text()), expected);
                QVERIFY2(changed.isEmpty(), qPrintable(shown(before) + "\nbecame " + shown(ini.text()) + changed));
                QVERIFY2(differences(mine(ini), expected).isEmpty(), qPrintable(shown(ini.text())));
            }
        }
        QVERIFY(written > 2000);
    }

    // Each kind of value comes back from QSettings as it was given, in a file with a byte order
    // mark (UTF-8) and without (Latin-1, escapes for the rest); plain values stay plain.
    void values_read_back_data()
    {
        kor_columns<QByteArray, QVariant, QByteArray>({"file", "value", "written"});
        for (const char *file : {"[config]\nk=1\n", "\xEF\xBB\xBF[config]\nk=1\n"})
            for (size_t i = 0; i < sizeof kValues / sizeof *kValues; ++i)
                QTest::addRow("%s%zu", file[0] == '[' ? "" : "bom-", i) << QByteArray(file) << kValues[i] << QByteArray();
        QTest::newRow("plain") << QByteArray("[config]\nk=1\n") << QVariant("10.1.2.3") << QByteArray("[config]\nk=10.1.2.3\n");
        QTest::newRow("hex digit after an escape")
            << QByteArray("[config]\nk=1\n") << QVariant(QString("\x01" "F1")) << QByteArray("[config]\nk=\\x1\\x46\\x31\n");
        QTest::newRow("utf-8 after a mark")
            << QByteArray("\xEF\xBB\xBF[config]\nk=1\n") << QVariant(QString::fromUtf8("\xc3\xa9;"))
            << QByteArray("\xEF\xBB\xBF[config]\nk=\"\xc3\xa9;\"\n");
    }
    void values_read_back()
    {
        QFETCH(QByteArray, file);
        QFETCH(QVariant, value);
        QFETCH(QByteArray, written);
        IniText ini(file);
        QVERIFY(ini.set_value("config", "k", value));
        if (!written.isEmpty())
            QCOMPARE(ini.text(), written);
        const QVariantMap read = theirs(ini.text());
        QVERIFY2(same(read.value("config/k"), value), qPrintable(shown(ini.text())));
        QVERIFY(same(IniText(ini.text()).value("config", "k"), value));
    }

    // Lines that swallow what follows them: a change goes where readers see it, with nothing
    // else read differently, or is not made at all.
    void hidden_places_data()
    {
        kor_columns<QByteArray, QByteArray>({"before", "after"});
        QTest::newRow("a quote left open before the group")
            << QByteArray("# panel: 55\" cabinet\n[config]\nIPAddress=10.1.2.3\n") << QByteArray();
        QTest::newRow("a quote left open in the group, no key")
            << QByteArray("[config]\nnote=\"unterminated\n") << QByteArray();
        QTest::newRow("a quote left open after the key")
            << QByteArray("[config]\nGateWay=10.1.0.1\nnote=\"unterminated\n")
            << QByteArray("[config]\nGateWay=10.1.0.9\nnote=\"unterminated\n");
        QTest::newRow("a backslash before the key: the key is part of its value")
            << QByteArray("[config]\nx=abc\\\nGateWay=10.1.0.1\n")
            << QByteArray("[config]\nx=abc\\\nGateWay=10.1.0.1\nGateWay=10.1.0.9\n");
        QTest::newRow("a backslash at the end, no group")
            << QByteArray("x=abc\\") << QByteArray("x=abc\\\n\n[config]\nGateWay=10.1.0.9\n");
        QTest::newRow("a header with a backslash at the end")
            << QByteArray("[config]\\") << QByteArray("[config]\\\n\nGateWay=10.1.0.9\n");
        QTest::newRow("a backslash before the group's header")
            << QByteArray("x=abc\\\n[config]\nGateWay=10.1.0.1\n")
            << QByteArray("x=abc\\\n[config]\nGateWay=10.1.0.1\n\n[config]\nGateWay=10.1.0.9\n");
        QTest::newRow("CR only") << QByteArray("[config]\rx=1\r") << QByteArray("[config]\rx=1\rGateWay=10.1.0.9\r");
        QTest::newRow("LF CR") << QByteArray("[b]\n\rx=1\n\r") << QByteArray("[b]\n\rx=1\n\r\n\r[config]\n\rGateWay=10.1.0.9\n\r");
    }
    void hidden_places()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        IniText ini(before);
        const QVariantMap was = theirs(before);
        QCOMPARE(ini.set_value("config", "GateWay", "10.1.0.9"), !after.isEmpty());
        QCOMPARE(ini.text(), after.isEmpty() ? before : after);
        if (after.isEmpty())
            return;
        QVariantMap expected = was;
        expected.insert("config/GateWay", "10.1.0.9");
        QVERIFY2(differences(theirs(after), expected).isEmpty(), qPrintable(differences(theirs(after), expected)));
    }

    // A file of lines that look like headers and never close reads like any other; a change
    // goes in its group near the top. (What it costs is the benchmark's to say.)
    void header_like_lines()
    {
        QByteArray text = "[config]\nIPAddress=10.1.2.3\n";
        for (const char *line : {"[", "[a=b", "[;", "[ x", "[%41"})
            text += QByteArray(line) + "\n";
        QVERIFY(differences(mine(IniText(text)), theirs(text)).isEmpty());
        text += QByteArray(1 << 17, '[').replace("[", "[\n");
        IniText ini(text);
        QCOMPARE(ini.value("config", "IPAddress").toString(), QString("10.1.2.3"));
        QVERIFY(ini.set_value("config", "GateWay", "10.1.0.1"));
        QCOMPARE(ini.text(), QByteArray(text).insert(28, "GateWay=10.1.0.1\n"));
    }
};

QTEST_MAIN(TestIniText)
#include "test_ini_text.moc"

// The script class File, driven by scripts: reading lines with their
// delimiters, writing, seeking, temporary files and the reports of misuse.

#include "ScriptTestSupport.h"
#include "TempDir.h"

#include <QDir>

#include <string>
#include <vector>

namespace {

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

std::vector<unsigned char> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class FileClassTest : public ScriptEngineTest {
protected:
    // Runs `body` with `path` naming the test's file and `eq(a, b, what)` as
    // the check that throws with both values.
    ScriptRun Run(const std::string& body) {
        return RunScript("var path = " + Quoted(m_Dir.file("data.txt")) + ";\n" +
                         "function eq(a, b, what) { if (a !== b) throw what + ': ' + JSON.stringify(a) + "
                         "' instead of ' + JSON.stringify(b); }\n" +
                         body);
    }
    void WriteData(const std::string& text) { WriteBytes(m_Dir.file("data.txt"), Bytes(text)); }
    std::string ReadData() {
        const std::vector<unsigned char> bytes = ReadBytes(m_Dir.file("data.txt"));
        return {bytes.begin(), bytes.end()};
    }

    TempDir m_Dir;
};

TEST_F(FileClassTest, ReadLinesWithCarriageReturnsRemoved) {
    WriteData("one\r\ntwo\n\r\nthree\rfour");
    const ScriptRun run = Run("var f = new File(path);\n"
                              "eq(f.isOpen, true, 'open'); eq(f.name, path, 'name');\n"
                              "eq(f.readln(), 'one', '1'); eq(f.readln(), 'two', '2'); eq(f.readln(), '', '3');\n"
                              "eq(f.eof, false, 'eof before the end');\n"
                              "eq(f.readln(), 'three\\rfour', '4');\n"
                              "eq(f.eof, true, 'eof'); eq(f.readln(), '', 'after the end');\n"
                              "eq(f.close(), true, 'close'); eq(f.name, '', 'name after close');\n"
                              "eq(f.eof, false, 'eof of a closed file'); eq(f.close(), 0, 'second close');");
    EXPECT_TRUE(run.ok) << run.output;
}

TEST_F(FileClassTest, ReadWithOwnDelimitersKeepsCarriageReturns) {
    WriteData("a;b\r\n;c,d;");
    const ScriptRun run = Run("var f = new File(path, 'r');\n"
                              "eq(f.readln(';'), 'a', '1'); eq(f.readln(';'), 'b\\r\\n', '2');\n"
                              "eq(f.readln(';,'), 'c', '3'); eq(f.readln(';,'), 'd', '4');\n"
                              "eq(f.readln(';'), '', 'end'); eq(f.eof, true, 'eof');");
    EXPECT_TRUE(run.ok) << run.output;
}

TEST_F(FileClassTest, LongLinesAndLatin1TextAreReadWhole) {
    std::string text(20000, 'x');
    text += "\n\xE4\xF6\n\xC3\xA4\n";
    WriteData(text);
    const ScriptRun run = Run("var f = new File(path);\n"
                              "eq(f.readln().length, 20000, 'long line');\n"
                              "eq(f.readln(), '\\u00e4\\u00f6', 'latin-1'); eq(f.readln(), '\\u00e4', 'utf-8');");
    EXPECT_TRUE(run.ok) << run.output;
}

TEST_F(FileClassTest, WriteAppendSeekTell) {
    const ScriptRun run = Run("var f = new File();\n"
                              "eq(f.isOpen, false, 'no file'); eq(f.name, '', 'no name');\n"
                              "eq(f.open(path, 'w'), true, 'open');\n"
                              "eq(f.write('ab'), true, 'write'); eq(f.writeln('cd'), true, 'writeln');\n"
                              "eq(f.writeln(), true, 'empty writeln'); eq(f.write(42), true, 'number');\n"
                              "eq(f.flush(), true, 'flush'); eq(f.tell(), 8, 'tell');\n"
                              "eq(f.seek(1), true, 'seek'); eq(f.tell(), 1, 'tell after seek');\n"
                              "eq(f.seek(-2, File.prototype.SEEK_END), true, 'seek from the end');\n"
                              "eq(f.tell(), 6, 'tell from the end');\n"
                              "eq(f.seek(1, f.SEEK_CUR), true, 'seek on'); eq(f.tell(), 7, 'tell on');\n"
                              "eq(f.seek(-5, 0), false, 'seek before the start');\n"
                              "f.close();\n"
                              "f = new File(path, 'a+'); eq(f.isOpen, true, 'append');\n"
                              "f.write('z'); f.seek(0); eq(f.readln(), 'abcd', 'read back');\n"
                              "eq(f.SEEK_SET + f.SEEK_CUR + f.SEEK_END, 3, 'origins');\n"
                              "f.close();");
    EXPECT_TRUE(run.ok) << run.output;
    EXPECT_EQ(ReadData(), "abcd\n\n42z");
}

TEST_F(FileClassTest, PropertiesAreReadOnlyAndNameIsEnumerable) {
    WriteData("x");
    const ScriptRun run = Run("var f = new File(path);\n"
                              "f.name = 'other'; f.isOpen = false; f.SEEK_END = 7;\n"
                              "eq(f.name, path, 'name'); eq(f.isOpen, true, 'isOpen'); eq(f.SEEK_END, 2, 'SEEK_END');\n"
                              "var keys = []; for (var k in f) keys.push(k);\n"
                              "eq(keys.indexOf('name') >= 0, true, 'name enumerable');\n"
                              "eq(keys.indexOf('isOpen'), -1, 'isOpen not enumerable');");
    EXPECT_TRUE(run.ok) << run.output;
}

TEST_F(FileClassTest, OpenModes) {
    WriteData("x");
    struct Case {
        const char* mode;
        bool accepted;
    };
    const Case cases[] = {{"r", true}, {"w", true}, {"a", true}, {"r+", true}, {"w+", true}, {"a+", true},
                          {"rw", false}, {"x", false}, {"", false}, {"r+b", false}, {"+", false}, {"rb", false}};
    for (const Case& c : cases) {
        WriteData("x");
        const ScriptRun construct = Run("var f = new File(path, " + Quoted(c.mode) + "); f.close();");
        EXPECT_EQ(construct.ok, c.accepted) << c.mode << ": " << construct.output;
        if (!c.accepted) {
            EXPECT_TRUE(StartsWith(construct.output, "Illegal open mode parameter for File().\r\n")) << construct.output;
        }
        const ScriptRun open = Run("var f = new File(); f.open(path, " + Quoted(c.mode) + "); f.close();");
        EXPECT_EQ(open.ok, c.accepted) << c.mode << ": " << open.output;
    }
}

TEST_F(FileClassTest, FailedOpenWarnsAndEmptiesTheName) {
    WriteData("x");
    const ScriptRun run = Run("var f = new File(path);\n"
                              "eq(f.open('/nonexistent-folder/y.txt'), false, 'open');\n"
                              "eq(f.isOpen, false, 'closed'); eq(f.name, '', 'name');");
    EXPECT_TRUE(run.ok) << run.output;
    EXPECT_TRUE(StartsWith(run.output, "File.open(): Error opening file: /nonexistent-folder/y.txt\r\n")) << run.output;
}

TEST_F(FileClassTest, TemporaryFile) {
    qputenv("TMPDIR", QByteArray::fromStdString(m_Dir.path()));
    const ScriptRun run = Run("var f = new File();\n"
                              "eq(f.openTempFile('w+'), true, 'open');\n"
                              "var dir = path.substring(0, path.lastIndexOf('/') + 1);\n"
                              "eq(f.name.indexOf(dir + 'CVJS'), 0, 'prefix ' + f.name);\n"
                              "f.writeln('temp'); f.seek(0); eq(f.readln(), 'temp', 'read back');\n"
                              "var first = f.name;\n"
                              "eq(f.openTempFile('w'), true, 'second'); eq(f.name !== first, true, 'new name');\n"
                              "eq(f.openTempFile('q'), false, 'mode passed on'); eq(f.name, '', 'name');");
    qunsetenv("TMPDIR");
    EXPECT_TRUE(run.ok) << run.output;
    EXPECT_TRUE(StartsWith(run.output, "File.openTempFile(): Error opening file: " + m_Dir.path() + "/CVJS"))
        << run.output;
    // Temporary files stay; the two made with a valid mode and the refused one.
    EXPECT_EQ(QDir(QString::fromStdString(m_Dir.path())).entryList({"CVJS*"}, QDir::Files).size(), 3);
}

TEST_F(FileClassTest, MisuseStopsTheScript) {
    WriteData("x");
    struct Case {
        const char* call;
        const char* report;
    };
    const Case cases[] = {
        {"new File(path, 'r', 1)", "Wrong number of parameters for File()."},
        {"open.open()", "Wrong number of parameters for File.open()."},
        {"open.open(path, 'r', 1)", "Wrong number of parameters for File.open()."},
        {"open.openTempFile()", "Wrong number of parameters for File.openTempFile()."},
        {"open.close(1)", "Wrong number of parameters for File.close()."},
        {"open.readln(';', 1)", "Wrong number of parameters for File.readln()."},
        {"open.write()", "Wrong number of parameters for File.write()."},
        {"open.write('a', 'b')", "Wrong number of parameters for File.write()."},
        {"open.writeln('a', 'b')", "Wrong number of parameters for File.writeln()."},
        {"open.flush(1)", "Wrong number of parameters for File.flush()."},
        {"open.seek()", "Wrong number of parameters for File.seek()."},
        {"open.seek(1, 0, 0)", "Wrong number of parameters for File.seek()."},
        {"open.tell(1)", "Wrong number of parameters for File.tell()."},
        {"closed.readln()", "File.readln(): file not open."},
        {"closed.write('a')", "File.write(): file not open."},
        {"closed.writeln('a')", "File.writeln(): file not open."},
        {"closed.flush()", "File.flush(): file not open."},
        {"closed.seek(0)", "File.seek(): file not open."},
        {"closed.tell()", "File.tell(): file not open."},
        {"open.seek('1')", "Illegal argument type in call to File.seek()"},
        {"open.seek(1, '0')", "Illegal argument type in call to File.seek()"},
        {"open.seek(1, 3)", "Illegal argument value in call to File.seek()"},
        {"open.seek(1, 0.5)", "Illegal argument value in call to File.seek()"},
    };
    for (const Case& c : cases) {
        const ScriptRun run = Run(std::string("var open = new File(path, 'r+'); var closed = new File();\n") + c.call +
                                  ";\nthrow 'went on';");
        EXPECT_FALSE(run.ok) << c.call;
        EXPECT_EQ(run.output, std::string(c.report) + "\r\ntest.js\r\nLine: 4\r\n") << c.call;
    }
}

TEST_F(FileClassTest, MethodsOfAnObjectWithoutFileFailSilently) {
    const ScriptRun run = RunScript("File.prototype.close();\nthrow 'went on';");
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.output, "");
    const ScriptRun other = RunScript("var o = { close: File.prototype.close }; o.close();");
    EXPECT_FALSE(other.ok);
    EXPECT_EQ(other.output, "");
    EXPECT_TRUE(RunScript("if (File.prototype.isOpen !== false || File.prototype.eof !== false) throw 1;").ok);
}

TEST_F(FileClassTest, CollectedFileIsClosed) {
    // The finalizer closes the stream, so what was written reaches the file.
    const ScriptRun run = Run("(function () { var f = new File(path, 'w'); f.write('kept'); })();");
    ASSERT_TRUE(run.ok) << run.output;
    EXPECT_EQ(ReadData(), "kept");
}

}  // namespace

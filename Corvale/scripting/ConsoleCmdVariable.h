#pragma once
// Console variables: the objects commands hand back, which the set command
// binds to $ names and whose methods a line "$name.method(arguments)" calls.

#include <memory>
#include <string>

class CCorvaleDoc;
class CTheme;

class CConsoleCmdVariable {
public:
    CConsoleCmdVariable() = default;
    virtual ~CConsoleCmdVariable();
    CConsoleCmdVariable(const CConsoleCmdVariable&) = delete;
    CConsoleCmdVariable& operator=(const CConsoleCmdVariable&) = delete;

    // Calls a method with the argument text (trimmed, without the
    // parentheses); appends messages to output and may leave a new object in
    // result. A plain variable has no methods.
    virtual bool CallMethod(const std::string& method, const std::string& arguments,
                            std::string& output, std::unique_ptr<CConsoleCmdVariable>& result);
    // The text echo shows for the variable.
    virtual std::string Print() const;
};

// A theme of a document, as the load command hands it back. The variable
// does not own the theme: the document tells the console when the theme is
// removed, and the variable then forgets it.
class CConsoleCmdThemeVariable : public CConsoleCmdVariable {
public:
    CConsoleCmdThemeVariable(CTheme* theme, CCorvaleDoc* document);

    // set_color("#RRGGBB"), set_name("text") and show(true|false); each
    // announces its change to the document's subscribers.
    bool CallMethod(const std::string& method, const std::string& arguments, std::string& output,
                    std::unique_ptr<CConsoleCmdVariable>& result) override;
    std::string Print() const override;

    CTheme* GetTheme() const { return m_Theme; }
    CCorvaleDoc* GetDocument() const { return m_Document; }
    void ForgetTheme() { m_Theme = nullptr; }

private:
    CTheme* m_Theme;
    CCorvaleDoc* m_Document;
};

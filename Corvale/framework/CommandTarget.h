#pragma once
// Command ids, command maps and update-UI handlers.
//
// Every menu and toolbar command keeps its numeric id. A command travels along
// a chain of targets (main frame, active view, document, application) until one
// of them has the id in its command map. Before a menu opens, and on idle, each
// command is routed once more with a CCmdUI, whose update handler decides
// whether the command is enabled, checked, and what its text is.

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// The state of one command's menu item or toolbar button, filled by update
// handlers.
class CCmdUI {
public:
    explicit CCmdUI(unsigned id) : m_nID(id) {}

    void Enable(bool enabled = true) { m_Enabled = enabled; }
    void SetCheck(int checked = 1) { m_Checked = checked != 0; }
    void SetText(const std::string& text) {
        m_Text = text;
        m_TextSet = true;
    }

    unsigned m_nID;
    bool m_Enabled = true;
    bool m_Checked = false;
    std::string m_Text;
    bool m_TextSet = false;
    // Set when some target on the chain handled the update or the command.
    bool m_Handled = false;
};

class CCmdTarget {
public:
    using CommandHandler = std::function<void()>;
    using RangeHandler = std::function<void(unsigned id)>;
    using UpdateHandler = std::function<void(CCmdUI&)>;

    virtual ~CCmdTarget();

    // Runs the command (ui null) or its update handler (ui given). True when
    // this target's map holds the id; a command without an update handler
    // counts as enabled.
    virtual bool OnCmdMsg(unsigned id, CCmdUI* ui);

protected:
    void OnCommand(unsigned id, CommandHandler handler, UpdateHandler update = {});
    void OnCommandRange(unsigned first, unsigned last, RangeHandler handler, UpdateHandler update = {});
    // An update handler for an id whose command is handled elsewhere.
    void OnUpdateCommand(unsigned id, UpdateHandler update);

    // The same for handlers that are member functions of the derived target
    // Target, which this object must be, so that a command map reads as a
    // table of ids and named handlers. A handler that takes the id serves
    // several ids; without an update handler the command counts as enabled.
    template <class Target>
    void OnCommand(unsigned id, void (Target::*handler)(),
                   void (Target::*update)(CCmdUI&) = nullptr) {
        Target* target = static_cast<Target*>(this);
        OnCommand(id, CommandHandler([target, handler] { (target->*handler)(); }),
                  MemberUpdate(target, update));
    }
    template <class Target>
    void OnCommand(unsigned id, void (Target::*handler)(unsigned),
                   void (Target::*update)(CCmdUI&) = nullptr) {
        OnCommandRange(id, id, handler, update);
    }
    template <class Target>
    void OnCommandRange(unsigned first, unsigned last, void (Target::*handler)(unsigned),
                        void (Target::*update)(CCmdUI&) = nullptr) {
        Target* target = static_cast<Target*>(this);
        OnCommandRange(first, last,
                       RangeHandler([target, handler](unsigned id) { (target->*handler)(id); }),
                       MemberUpdate(target, update));
    }

private:
    template <class Target>
    static UpdateHandler MemberUpdate(Target* target, void (Target::*update)(CCmdUI&)) {
        if (update == nullptr)
            return {};
        return [target, update](CCmdUI& ui) { (target->*update)(ui); };
    }

    struct Entry {
        unsigned first;
        unsigned last;
        RangeHandler handler;
        UpdateHandler update;
    };
    std::vector<Entry> m_CommandMap;
};

// Routes a command along the chain, skipping null targets: true when a target
// handled it. A command update that no target handles leaves the item disabled,
// so a menu never offers a command nobody would run.
bool RouteCommand(unsigned id, CCmdUI* ui, std::initializer_list<CCmdTarget*> chain);

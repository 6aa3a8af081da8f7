#include "framework/CommandTarget.h"

CCmdTarget::~CCmdTarget() = default;

bool CCmdTarget::OnCmdMsg(unsigned id, CCmdUI* ui) {
    for (const Entry& entry : m_CommandMap) {
        if (id < entry.first || id > entry.last)
            continue;
        if (ui != nullptr) {
            if (entry.update)
                entry.update(*ui);
            else if (!entry.handler)
                continue;
            else
                ui->Enable(true);
            ui->m_Handled = true;
            return true;
        }
        if (!entry.handler)
            continue;
        entry.handler(id);
        return true;
    }
    return false;
}

void CCmdTarget::OnCommand(unsigned id, CommandHandler handler, UpdateHandler update) {
    RangeHandler range;
    if (handler)
        range = [handler = std::move(handler)](unsigned) { handler(); };
    m_CommandMap.push_back({id, id, std::move(range), std::move(update)});
}

void CCmdTarget::OnCommandRange(unsigned first, unsigned last, RangeHandler handler, UpdateHandler update) {
    m_CommandMap.push_back({first, last, std::move(handler), std::move(update)});
}

void CCmdTarget::OnUpdateCommand(unsigned id, UpdateHandler update) {
    m_CommandMap.push_back({id, id, {}, std::move(update)});
}

bool RouteCommand(unsigned id, CCmdUI* ui, std::initializer_list<CCmdTarget*> chain) {
    for (CCmdTarget* target : chain) {
        if (target != nullptr && target->OnCmdMsg(id, ui))
            return true;
    }
    if (ui != nullptr)
        ui->Enable(false);
    return false;
}

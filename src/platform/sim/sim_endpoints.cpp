#include "platform/sim/sim_platform.h"

namespace varlindo::sim {

// ---------------------------------------------------------------- the desktop's endpoints

void SimDesktop::UseEndpoints() {
    device_api = true;
    policy_object = true;
    for (size_t n = 0; n < cards.size(); ++n) {
        const std::string number = std::to_string(n);
        cards[n].endpoint = "{render " + number + "}";
        endpoints.push_back({cards[n].endpoint, EndpointFlow::Render, "card " + number});
        endpoints.push_back({"{capture " + number + "}", EndpointFlow::Capture, "card " + number});
        wave_in.push_back({cards[n].name, "{capture " + number + "}"});
    }
    if (!cards.empty()) {
        for (EndpointRole role : kEndpointRoles) {
            default_endpoints[{EndpointFlow::Render, role}] = "{render 0}";
            default_endpoints[{EndpointFlow::Capture, role}] = "{capture 0}";
        }
    }
}

void SimDesktop::SetDefaultEndpoint(EndpointFlow flow, const std::string& id) {
    for (EndpointRole role : kEndpointRoles) default_endpoints[{flow, role}] = id;
    QueueDefaultsNotice();
}

void SimDesktop::QueueDefaultsNotice() {
    for (SimPlatform* program : programs_)
        if (program->endpoints.watching) program->endpoints.notice_pending = true;
}

void SimDesktop::DeliverDefaultsNotices() {
    // A program may end or start while it handles its notice: walk a copy.
    const std::vector<SimPlatform*> programs = programs_;
    for (SimPlatform* program : programs) {
        if (!program->endpoints.notice_pending) continue;
        program->endpoints.notice_pending = false;
        if (ProgramEvents* events = program->Events(); events && program->endpoints.watching) events->DefaultsChanged();
    }
}

// ---------------------------------------------------------------- one program's view

std::vector<AudioEndpoint> SimEndpoints::ActiveEndpoints(EndpointFlow flow) {
    if (Fails()) return {};
    std::vector<AudioEndpoint> found;
    if (!desktop_.device_api) return found;
    for (const SimEndpoint& e : desktop_.endpoints)
        if (e.flow == flow && e.active) found.push_back({e.id, e.adapter});
    return found;
}

std::optional<std::string> SimEndpoints::WaveEndpointId(EndpointFlow flow, int device) {
    if (Fails()) return {};
    if (!desktop_.device_api || device < 0) return std::nullopt;
    const std::string* id = nullptr;
    if (flow == EndpointFlow::Render && device < static_cast<int>(desktop_.cards.size()))
        id = &desktop_.cards[static_cast<size_t>(device)].endpoint;
    if (flow == EndpointFlow::Capture && device < static_cast<int>(desktop_.wave_in.size()))
        id = &desktop_.wave_in[static_cast<size_t>(device)].endpoint;
    if (!id || id->empty()) return std::nullopt;
    return *id;
}

int SimEndpoints::WaveInCount() { return Fails() ? 0 : static_cast<int>(desktop_.wave_in.size()); }

std::optional<std::string> SimEndpoints::WaveInName(int device) {
    if (Fails()) return {};
    if (device < 0 || device >= static_cast<int>(desktop_.wave_in.size())) return std::nullopt;
    // The product name field holds 31 bytes and a NUL, as for wave-out devices.
    return desktop_.wave_in[static_cast<size_t>(device)].name.substr(0, 31);
}

std::optional<std::string> SimEndpoints::DefaultEndpoint(EndpointFlow flow, EndpointRole role) {
    if (Fails()) return {};
    if (!desktop_.device_api) return std::nullopt;
    auto found = desktop_.default_endpoints.find({flow, role});
    if (found == desktop_.default_endpoints.end() || found->second.empty()) return std::nullopt;
    return found->second;
}

bool SimEndpoints::SetDefaultEndpoint(const std::string& id, EndpointRole role, std::string& error) {
    if (Fails()) {
        error = "The system call failed.";
        return false;
    }
    if (!PolicyObject()) {
        error = "Class not registered";
        return false;
    }
    desktop_.policy_calls.push_back(id + " " + std::to_string(static_cast<int>(role)));
    if (!desktop_.policy_refuses.empty()) {
        error = desktop_.policy_refuses;
        return false;
    }
    for (const SimEndpoint& e : desktop_.endpoints) {
        if (e.id != id || !e.active) continue;
        desktop_.default_endpoints[{e.flow, role}] = id;
        desktop_.QueueDefaultsNotice();
        return true;
    }
    error = "Element not found.";
    return false;
}

}  // namespace varlindo::sim

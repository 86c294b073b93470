#pragma once

#include "support/Command.h"
#include "support/Waiting.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

// A program's accessibility tree as an AT-SPI client reads it from the desktop's accessibility bus (through
// tests/support/atspi_probe.py; the target defines BARCODES_ATSPI_PROBE as its path).
namespace testsupport {

struct AccessibleNode {
    int depth { 0 };
    std::string role;
    std::string name;
    std::vector<std::string> states;
    std::string text;
    std::string value;
    std::vector<std::string> actions;
    int x { -1 }, y { -1 }, width { -1 }, height { -1 };
    std::string description;
    // The value in words (a colour well's colour), where the element has a value.
    std::string valueText;
    // "described by:label/Allowed: [0-9]", one entry per target.
    std::vector<std::string> relations;

    bool has(const std::string& state) const { return std::find(states.begin(), states.end(), state) != states.end(); }
};

class AccessibleTree {
public:
    // The tree of the application with that name, or "pid:N" (empty when it is not on the bus).
    static AccessibleTree read(const std::string& application)
    {
        auto result = runCommand(dumpCommand(application));
        return result.status == 0 ? fromDump(result.output) : AccessibleTree(result.output);
    }

    // The probe's command line for a dump, for callers that must keep serving their own bus while it runs.
    static std::string dumpCommand(const std::string& application)
    {
        return probe() + " dump " + quoted(application) + " 2>&1";
    }
    static std::string actionCommand(
        const std::string& application, const std::string& role, const std::string& name, const std::string& action)
    {
        return probe() + " do " + quoted(application) + " " + quoted(role) + " " + quoted(name) + " " + quoted(action)
            + " 2>&1";
    }

    static AccessibleTree fromDump(const std::string& dump)
    {
        AccessibleTree tree(dump);
        std::istringstream lines(dump);
        for (std::string line; std::getline(lines, line);)
            if (auto node = parse(line))
                tree.m_nodes.push_back(*node);
        return tree;
    }

    // Performs the action (ATK's name: "click") of the first element with the role and name; the probe's status.
    static int act(
        const std::string& application, const std::string& role, const std::string& name, const std::string& action)
    {
        return runCommand(actionCommand(application, role, name, action)).status;
    }

    // One step of input while the events are heard: a shell command, and the event line (as events() lists them)
    // that must have been heard before the next step starts, or before listening ends after the last step. Input
    // that must meet the program in a certain state (a key for an open menu) waits for the event that tells it.
    struct EventStage {
        std::string command;
        std::string until;
    };
    // The application's events (lines "type|detail1|role|name") heard while the stages run, as a screen reader hears
    // them: until the last stage's event has been heard, for at most the seconds.
    static std::vector<std::string> events(const std::string& application, const std::vector<EventStage>& stages,
        double seconds = testsupport::WaitSeconds)
    {
        std::string command = probe() + " events " + quoted(application) + " " + std::to_string(seconds);
        for (const auto& stage : stages)
            command += " " + quoted(stage.command) + " " + quoted(stage.until);
        return split(runCommand(command + " 2>&1").output, '\n');
    }
    static bool heard(const std::vector<std::string>& events, const std::string& event)
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

    const std::vector<AccessibleNode>& nodes() const { return m_nodes; }
    // The whole dump, for failure messages.
    const std::string& text() const { return m_text; }

    const AccessibleNode* find(const std::string& role, const std::string& name) const
    {
        for (const auto& node : m_nodes)
            if (node.role == role && node.name == name)
                return &node;
        return nullptr;
    }

    // The first descendant of the node that matches.
    const AccessibleNode* findIn(
        const AccessibleNode& ancestor, const std::function<bool(const AccessibleNode&)>& matches) const
    {
        auto start = std::size_t(&ancestor - m_nodes.data());
        for (auto i = start + 1; i < m_nodes.size() && m_nodes[i].depth > ancestor.depth; ++i)
            if (matches(m_nodes[i]))
                return &m_nodes[i];
        return nullptr;
    }

    std::vector<const AccessibleNode*> childrenOf(const AccessibleNode& parent) const
    {
        std::vector<const AccessibleNode*> children;
        auto start = std::size_t(&parent - m_nodes.data());
        for (auto i = start + 1; i < m_nodes.size() && m_nodes[i].depth > parent.depth; ++i)
            if (m_nodes[i].depth == parent.depth + 1)
                children.push_back(&m_nodes[i]);
        return children;
    }

    AccessibleTree() = default;

private:
    explicit AccessibleTree(std::string text)
        : m_text(std::move(text))
    {
    }
    static std::string probe() { return BARCODES_ATSPI_PROBE; }

    static std::string quoted(const std::string& text)
    {
        std::string out = "'";
        for (char c : text)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }

    static std::vector<std::string> split(const std::string& text, char separator)
    {
        std::vector<std::string> parts;
        std::string part;
        std::istringstream stream(text);
        while (std::getline(stream, part, separator))
            parts.push_back(part);
        if (!text.empty() && text.back() == separator)
            parts.push_back({});
        return parts;
    }

    // "  role|name|state,state|text|value|action,action|x,y,w,h|description|value text|relation;relation"
    static std::optional<AccessibleNode> parse(const std::string& line)
    {
        std::size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos)
            return std::nullopt;
        auto fields = split(line.substr(indent), '|');
        if (fields.size() != 10)
            return std::nullopt;
        AccessibleNode node;
        node.depth = int(indent / 2);
        node.role = fields[0];
        node.name = fields[1];
        node.states = fields[2].empty() ? std::vector<std::string>() : split(fields[2], ',');
        node.text = fields[3];
        node.value = fields[4];
        node.actions = fields[5].empty() ? std::vector<std::string>() : split(fields[5], ',');
        std::sscanf(fields[6].c_str(), "%d,%d,%d,%d", &node.x, &node.y, &node.width, &node.height);
        node.description = fields[7];
        node.valueText = fields[8];
        node.relations = fields[9].empty() ? std::vector<std::string>() : split(fields[9], ';');
        return node;
    }

    std::vector<AccessibleNode> m_nodes;
    std::string m_text;
};

}

#pragma once

// Whether a bar button touches the left or right end of its bar; the bar tells its buttons when it draws.
class ZORAnchoredBarEdges {
public:
    virtual ~ZORAnchoredBarEdges() = default;
    virtual bool isAtLeftEdgeOfBar() const = 0;
    virtual void setAtLeftEdgeOfBar(bool flag) = 0;
    virtual bool isAtRightEdgeOfBar() const = 0;
    virtual void setAtRightEdgeOfBar(bool flag) = 0;
};

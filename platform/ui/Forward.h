#pragma once

namespace ui {

class Application;
class Backend;
class Event;
class Menu;
class Responder;
class Screen;
class TrackingArea;
class View;
class Window;

}

#pragma once

namespace ui {

class Application;
class Backend;
class Cell;
class Event;
class Menu;
class Responder;
class Screen;
class ScrollView;
class TrackingArea;
class View;
class Window;

}

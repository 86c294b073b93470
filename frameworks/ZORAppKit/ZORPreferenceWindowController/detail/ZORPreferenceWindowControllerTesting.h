#pragma once

// For tests only: lets the next create() or shared accessor make a new controller, as a fresh process would.
namespace ZORPreferenceWindowControllerTesting {

void forgetSharedPreferenceWindowController();

}

#include "platform/qt/prompt_responder.h"

namespace kp::prompts {
namespace {
PromptResponder* g_responder = nullptr;
}

PromptResponder::~PromptResponder() = default;

PromptResponder* InstallPromptResponder(PromptResponder* responder) {
  PromptResponder* previous = g_responder;
  g_responder = responder;
  return previous;
}

PromptResponder& CurrentPromptResponder() { return g_responder ? *g_responder : DefaultPromptResponder(); }

}  // namespace kp::prompts

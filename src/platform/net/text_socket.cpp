#include "platform/net/text_socket.h"

#include <libwebsockets.h>

#include <algorithm>
#include <cstring>

namespace orv {

namespace {

int Callback(lws* connection, lws_callback_reasons reason, void* /*user*/, void* in, size_t length) {
  lws_context* context = lws_get_context(connection);
  auto* server = context ? static_cast<TextSocketServer*>(lws_context_user(context)) : nullptr;
  if (!server) return 0;
  return server->OnEvent(connection, int(reason), in, length);
}

// Any client is served whatever subprotocol it asks for: the reading pages ask for none.
const lws_protocols kProtocols[] = {
    {"text", Callback, 0, 4096, 0, nullptr, 0},
    {nullptr, nullptr, 0, 0, 0, nullptr, 0},
};

}  // namespace

Result<std::unique_ptr<TextSocketServer>> TextSocketServer::Start(uint16_t port) {
  // The library's own log lines would only repeat what the error below says.
  lws_set_log_level(0, nullptr);
  std::unique_ptr<TextSocketServer> server(new TextSocketServer());
  lws_context_creation_info info;
  std::memset(&info, 0, sizeof info);
  info.port = port;
  info.iface = "127.0.0.1";  // this machine's own programs only
  info.protocols = kProtocols;
  info.user = server.get();
  info.gid = -1;
  info.uid = -1;
  server->context_ = lws_create_context(&info);
  if (!server->context_)
    return Error{ErrorKind::Failed, "cannot listen on 127.0.0.1:" + std::to_string(port) + " (is the port taken?)"};
  lws_vhost* host = lws_get_vhost_by_name(server->context_, "default");
  const int listening = host ? lws_get_vhost_listen_port(host) : -1;
  server->port_ = listening > 0 ? uint16_t(listening) : port;
  server->thread_ = std::thread([raw = server.get()] { raw->Serve(); });
  return server;
}

TextSocketServer::~TextSocketServer() {
  if (!context_) return;
  stopping_ = true;
  lws_cancel_service(context_);
  if (thread_.joinable()) thread_.join();
  lws_context_destroy(context_);
}

void TextSocketServer::Send(std::string_view utf8) {
  {
    std::lock_guard lock(mutex_);
    incoming_.emplace_back(utf8);
  }
  lws_cancel_service(context_);
}

void TextSocketServer::Serve() {
  while (!stopping_) lws_service(context_, 0);
}

void TextSocketServer::HandOut() {
  std::vector<std::string> texts;
  {
    std::lock_guard lock(mutex_);
    texts.swap(incoming_);
  }
  if (texts.empty()) return;
  const auto now = std::chrono::steady_clock::now();
  for (const auto& client : clients_) {
    if (client->dropped) continue;
    client->queued.insert(client->queued.end(), texts.begin(), texts.end());
    const bool stalled = client->queued.size() > kQueuedWhileStalled && now - client->lastTaken > kStalledAfter;
    if (stalled || client->queued.size() > kMostQueuedTexts) {
      // It stopped reading: its socket will not become writable again, so it is closed
      // from here rather than when it asks for more.
      client->dropped = true;
      client->queued.clear();
      lws_set_timeout(client->connection, PENDING_TIMEOUT_USER_OK, LWS_TO_KILL_ASYNC);
      continue;
    }
    lws_callback_on_writable(client->connection);
  }
}

int TextSocketServer::OnEvent(lws* connection, int reason, void* /*in*/, size_t /*length*/) {
  auto find = [&]() {
    return std::find_if(clients_.begin(), clients_.end(), [&](const auto& c) { return c->connection == connection; });
  };
  switch (reason) {
    case LWS_CALLBACK_ESTABLISHED: {
      auto client = std::make_unique<Client>();
      client->connection = connection;
      client->lastTaken = std::chrono::steady_clock::now();
      clients_.push_back(std::move(client));
      clientCount_ = clients_.size();
      return 0;
    }
    case LWS_CALLBACK_CLOSED:
      if (auto it = find(); it != clients_.end()) clients_.erase(it);
      clientCount_ = clients_.size();
      return 0;
    case LWS_CALLBACK_EVENT_WAIT_CANCELLED: HandOut(); return 0;
    case LWS_CALLBACK_SERVER_WRITEABLE: {
      auto it = find();
      if (it == clients_.end()) return 0;
      Client& client = **it;
      if (client.dropped) return -1;
      if (client.queued.empty()) return 0;
      const std::string& text = client.queued.front();
      std::vector<unsigned char> frame(LWS_PRE + text.size());
      std::memcpy(frame.data() + LWS_PRE, text.data(), text.size());
      if (lws_write(connection, frame.data() + LWS_PRE, text.size(), LWS_WRITE_TEXT) < int(text.size())) return -1;
      client.queued.pop_front();
      client.lastTaken = std::chrono::steady_clock::now();
      if (!client.queued.empty()) lws_callback_on_writable(connection);
      return 0;
    }
    default: return 0;
  }
}

}  // namespace orv

// SPDX-FileCopyrightText: 2026 The Vantel developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The table socket: says hello, hands every message on, and reopens itself
// after a lost connection with growing waits, until told to stop. What to
// say after a reopened hello (resume, watch) is the caller's to decide.

export const PROTOCOL = 1;
const CLIENT = "vantel-web 1";
const RETRY_MS = [500, 1000, 2000, 4000, 8000];

export class Connection {
  constructor({ onMessage, onOpen, onLost }) {
    this.onMessage = onMessage;
    this.onOpen = onOpen; // after the server's welcome: (welcome, reopened)
    this.onLost = onLost; // the socket closed unasked: (code, willRetry)
    this.socket = null;
    this.retries = 0;
    this.stopped = false;
    this.opened = false;
    this.timer = 0;
  }

  url() {
    const scheme = location.protocol === "https:" ? "wss:" : "ws:";
    return `${scheme}//${location.host}/socket`;
  }

  open() {
    this.stopped = false;
    clearTimeout(this.timer);
    const socket = new WebSocket(this.url());
    this.socket = socket;
    socket.addEventListener("message", (e) => this.received(socket, e.data));
    socket.addEventListener("close", (e) => this.closed(socket, e.code));
    // An error is always followed by close, which is where it is handled.
    socket.addEventListener("error", () => {});
  }

  received(socket, data) {
    if (socket !== this.socket) return;
    let message;
    try {
      message = JSON.parse(data);
    } catch {
      return;
    }
    if (!message || typeof message.type !== "string") return;
    if (message.type === "hello") {
      this.send({ type: "hello", protocol: PROTOCOL, client: CLIENT });
      return;
    }
    if (message.type === "welcome") {
      const reopened = this.opened;
      this.opened = true;
      this.retries = 0;
      this.onOpen(message, reopened);
      return;
    }
    this.onMessage(message);
  }

  closed(socket, code) {
    if (socket !== this.socket) return;
    this.socket = null;
    if (this.stopped) return;
    const wait = RETRY_MS[Math.min(this.retries, RETRY_MS.length - 1)];
    this.retries += 1;
    this.onLost(code, true);
    this.timer = setTimeout(() => {
      if (!this.stopped) this.open();
    }, wait);
  }

  send(message) {
    if (!this.socket || this.socket.readyState !== WebSocket.OPEN) return false;
    this.socket.send(JSON.stringify(message));
    return true;
  }

  get ready() {
    return Boolean(this.socket && this.socket.readyState === WebSocket.OPEN);
  }

  // Closes for good: no reconnection follows.
  stop() {
    this.stopped = true;
    clearTimeout(this.timer);
    if (this.socket) {
      const socket = this.socket;
      this.socket = null;
      socket.close(1000);
    }
  }
}

#!/usr/bin/python3
"""A real SMTP server on loopback for the mail tests: AUTH LOGIN and PLAIN for one account, plain TCP,
STARTTLS or TLS from the first byte. Saves each accepted message as NNNN.json in --dir (envelope, sign-in
mechanism, TLS state, Base64 bytes) and prints its port on the first line of stdout."""
import argparse
import asyncio
import base64
import json
import os
import ssl

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Handler:
    def __init__(self, directory):
        self.directory = directory
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        record = {
            "from": envelope.mail_from,
            "to": list(envelope.rcpt_tos),
            "mechanism": getattr(session, "tollimer_mechanism", None),
            # session.ssl is set by STARTTLS; TLS from the first byte shows on the transport.
            "tls": session.ssl is not None or server.transport.get_extra_info("ssl_object") is not None,
            "content": base64.b64encode(envelope.content).decode("ascii"),
        }
        path = os.path.join(self.directory, "%04d.json" % self.count)
        with open(path + ".tmp", "w", encoding="utf-8") as out:
            json.dump(record, out)
        # Written whole or not at all: the test reads the directory while the server runs.
        os.replace(path + ".tmp", path)
        return "250 Message accepted"


def main():
    parser = argparse.ArgumentParser()
    for option in ("--dir", "--user", "--password", "--cert", "--key"):
        parser.add_argument(option)
    parser.add_argument("--mode", choices=["tcp", "starttls", "ssl"], default="tcp")
    args = parser.parse_args()

    def authenticator(server, session, envelope, mechanism, auth_data):
        if (isinstance(auth_data, LoginPassword) and auth_data.login == args.user.encode("utf-8")
                and auth_data.password == args.password.encode("utf-8")):
            session.tollimer_mechanism = mechanism
            return AuthResult(success=True)
        return AuthResult(success=False, handled=False)

    context = None
    if args.mode != "tcp":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
    handler = Handler(args.dir)
    starttls = args.mode == "starttls"

    def factory():
        return SMTP(handler, hostname="tollimer-test", authenticator=authenticator, auth_required=True,
                    auth_require_tls=False, tls_context=context if starttls else None, require_starttls=starttls)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        factory, "127.0.0.1", 0, ssl=context if args.mode == "ssl" else None))
    print(server.sockets[0].getsockname()[1], flush=True)
    loop.run_forever()


if __name__ == "__main__":
    main()

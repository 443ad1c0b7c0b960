#!/usr/bin/env python3
"""A home router of the test's own, run inside the test's router namespace.

It answers UPnP IGD (a description and the WANIPConnection control URL over
HTTP) and NAT-PMP (UDP 5351) on its home side, and makes each mapping real:
an nftables DNAT rule from its internet side to the host, removed with the
mapping. Its IPv6 firewall drops every new connection that comes in on its
internet side; as IGD version 2 (--igd 2) it also answers the IPv6 firewall
control actions, and each pinhole is a real accept rule ahead of that drop,
removed with the pinhole. Modes: "open" grants what is asked, "refuse" says
no to every mapping and pinhole, "silent" takes requests and never answers,
"taken" holds port 7772 for another machine. Every request is logged on
standard output, one line each, for the test to read.
"""
import argparse
import http.server
import re
import socket
import struct
import subprocess
import sys
import threading
import time

DESCRIPTION = """<?xml version="1.0"?>
<root xmlns="urn:schemas-upnp-org:device-1-0">
<specVersion><major>1</major><minor>0</minor></specVersion>
<device>
<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>
<friendlyName>Test router</friendlyName>
<deviceList><device>
<deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType>
<serviceList><service>
<serviceType>urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1</serviceType>
<serviceId>urn:upnp-org:serviceId:WANCommonIFC1</serviceId>
<controlURL>/ctl/CmnIfCfg</controlURL><eventSubURL>/evt/CmnIfCfg</eventSubURL><SCPDURL>/WANCfg.xml</SCPDURL>
</service></serviceList>
<deviceList><device>
<deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType>
<serviceList><service>
<serviceType>urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>
<serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId>
<controlURL>/ctl/IPConn</controlURL><eventSubURL>/evt/IPConn</eventSubURL><SCPDURL>/WANIPCn.xml</SCPDURL>
</service></serviceList>
</device></deviceList>
</device></deviceList>
</device>
</root>
"""

# Version 2 of the same router: its connection service of version 2 and the
# IPv6 firewall control beside it.
DESCRIPTION_V2 = (DESCRIPTION.replace("InternetGatewayDevice:1", "InternetGatewayDevice:2")
                  .replace("device:WANDevice:1", "device:WANDevice:2")
                  .replace("WANConnectionDevice:1", "WANConnectionDevice:2")
                  .replace("service:WANIPConnection:1", "service:WANIPConnection:2")
                  .replace("</service></serviceList>\n</device></deviceList>\n</device></deviceList>",
                           "</service><service>\n"
                           "<serviceType>urn:schemas-upnp-org:service:WANIPv6FirewallControl:1</serviceType>\n"
                           "<serviceId>urn:upnp-org:serviceId:WANIPv6Firewall1</serviceId>\n"
                           "<controlURL>/ctl/IP6FCtl</controlURL><eventSubURL>/evt/IP6FCtl</eventSubURL>"
                           "<SCPDURL>/WANIP6FC.xml</SCPDURL>\n"
                           "</service></serviceList>\n</device></deviceList>\n</device></deviceList>"))

SERVICE = "urn:schemas-upnp-org:service:WANIPConnection:1"
FIREWALL_SERVICE = "urn:schemas-upnp-org:service:WANIPv6FirewallControl:1"


def envelope(body):
    return ('<?xml version="1.0"?>\r\n<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/" '
            's:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"><s:Body>' + body +
            '</s:Body></s:Envelope>\r\n').encode()


class Router:
    def __init__(self, args):
        self.args = args
        self.lock = threading.Lock()
        self.rules = {}  # external port -> nft rule handle
        self.epoch = int(time.time())
        self.pinholes = {}  # unique id -> nft rule handle
        self.next_pinhole = 1
        subprocess.run(["nft", "add", "table", "ip", args.table], check=True)
        subprocess.run(["nft", "add", "chain", "ip", args.table, "prerouting",
                        "{ type nat hook prerouting priority -100 ; }"], check=True)
        # The IPv6 firewall: answers to what went out pass, new connections
        # from the internet side pass only through a pinhole.
        subprocess.run(["nft", "add", "table", "inet", args.table], check=True)
        subprocess.run(["nft", "add", "chain", "inet", args.table, "pinholes"], check=True)
        subprocess.run(["nft", "add", "chain", "inet", args.table, "forward",
                        "{ type filter hook forward priority 0 ; policy accept ; }"], check=True)
        for rule in (["ct", "state", "established,related", "accept"],
                     ["iifname", args.wan_if, "meta", "nfproto", "ipv6", "jump", "pinholes"],
                     ["iifname", args.wan_if, "meta", "nfproto", "ipv6", "drop"]):
            subprocess.run(["nft", "add", "rule", "inet", args.table, "forward"] + rule, check=True)

    def log(self, line):
        print(line, flush=True)

    def add(self, external, client, internal, lease):
        with self.lock:
            # A renewal adds the new rule before the old one goes, so the
            # port never closes in between.
            old = self.rules.pop(external, None)
            out = subprocess.run(
                ["nft", "--echo", "--handle", "add", "rule", "ip", self.args.table, "prerouting",
                 "iifname", self.args.wan_if, "tcp", "dport", str(external),
                 "dnat", "to", "%s:%d" % (client, internal)],
                check=True, capture_output=True, text=True).stdout
            self.rules[external] = re.search(r"# handle (\d+)", out).group(1)
            if old is not None:
                subprocess.run(["nft", "delete", "rule", "ip", self.args.table, "prerouting", "handle", old],
                               check=True)
        self.log("mapped %d %s:%d lease %d" % (external, client, internal, lease))

    def remove_locked(self, external):
        handle = self.rules.pop(external, None)
        if handle is not None:
            subprocess.run(["nft", "delete", "rule", "ip", self.args.table, "prerouting", "handle", handle],
                           check=True)
        return handle is not None

    def remove(self, external):
        with self.lock:
            removed = self.remove_locked(external)
        self.log("unmapped %d" % external if removed else "unmapped nothing %d" % external)
        return removed


    def add_pinhole(self, address, port, lease):
        with self.lock:
            unique = str(self.next_pinhole)
            self.next_pinhole += 1
            out = subprocess.run(
                ["nft", "--echo", "--handle", "add", "rule", "inet", self.args.table, "pinholes",
                 "ip6", "daddr", address, "tcp", "dport", str(port), "accept"],
                check=True, capture_output=True, text=True).stdout
            self.pinholes[unique] = re.search(r"# handle (\d+)", out).group(1)
        self.log("pinhole %s %s %d lease %d" % (unique, address, port, lease))
        return unique

    def update_pinhole(self, unique, lease):
        with self.lock:
            known = unique in self.pinholes
        self.log(("pinhole renewed %s lease %d" if known else "pinhole unknown %s lease %d") % (unique, lease))
        return known

    def remove_pinhole(self, unique):
        with self.lock:
            handle = self.pinholes.pop(unique, None)
            if handle is not None:
                subprocess.run(["nft", "delete", "rule", "inet", self.args.table, "pinholes", "handle", handle],
                               check=True)
        self.log("pinhole removed %s" % unique if handle is not None else "pinhole unknown %s" % unique)
        return handle is not None


def fault(code, description):
    return envelope('<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring><detail>'
                    '<UPnPError xmlns="urn:schemas-upnp-org:control-1-0"><errorCode>%d</errorCode>'
                    '<errorDescription>%s</errorDescription></UPnPError></detail></s:Fault>'
                    % (code, description))


def make_handler(router):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def reply(self, status, body, kind="text/xml"):
            self.send_response(status)
            self.send_header("Content-Type", kind + '; charset="utf-8"')
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body)

        def silent(self):
            if router.args.mode == "silent":
                router.log("ignored")
                time.sleep(3600)
                return True
            return False

        def do_GET(self):
            if self.silent():
                return
            if self.path == "/rootDesc.xml":
                self.reply(200, (DESCRIPTION_V2 if router.args.igd == 2 else DESCRIPTION).encode())
            else:
                self.reply(404, b"")

        def do_POST(self):
            if self.silent():
                return
            body = self.rfile.read(int(self.headers.get("Content-Length", "0"))).decode()
            action = self.headers.get("SOAPAction", "").strip('"').split("#")[-1]
            field = lambda name: (re.search("<%s>([^<]*)</%s>" % (name, name), body) or [None, ""])[1]
            router.log("soap " + action)
            if self.path == "/ctl/IP6FCtl":
                self.firewall_control(action, field)
            elif action == "GetExternalIPAddress":
                self.reply(200, envelope('<u:GetExternalIPAddressResponse xmlns:u="%s"><NewExternalIPAddress>%s'
                                         '</NewExternalIPAddress></u:GetExternalIPAddressResponse>'
                                         % (SERVICE, router.args.external)))
            elif action == "AddPortMapping" and router.args.mode == "refuse":
                self.reply(500, envelope('<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError'
                                         '</faultstring><detail><UPnPError xmlns="urn:schemas-upnp-org:control-1-0">'
                                         '<errorCode>606</errorCode><errorDescription>Action not authorized'
                                         '</errorDescription></UPnPError></detail></s:Fault>'))
            elif action == "AddPortMapping" and router.args.mode == "taken" and field("NewExternalPort") == "7772":
                self.reply(500, envelope('<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError'
                                         '</faultstring><detail><UPnPError xmlns="urn:schemas-upnp-org:control-1-0">'
                                         '<errorCode>718</errorCode><errorDescription>ConflictInMappingEntry'
                                         '</errorDescription></UPnPError></detail></s:Fault>'))
            elif action == "AddPortMapping":
                router.add(int(field("NewExternalPort")), field("NewInternalClient"),
                           int(field("NewInternalPort")), int(field("NewLeaseDuration") or 0))
                self.reply(200, envelope('<u:AddPortMappingResponse xmlns:u="%s"/>' % SERVICE))
            elif action == "DeletePortMapping":
                router.remove(int(field("NewExternalPort")))
                self.reply(200, envelope('<u:DeletePortMappingResponse xmlns:u="%s"/>' % SERVICE))
            else:
                self.reply(500, envelope('<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError'
                                         '</faultstring><detail><UPnPError xmlns="urn:schemas-upnp-org:control-1-0">'
                                         '<errorCode>401</errorCode><errorDescription>Invalid Action'
                                         '</errorDescription></UPnPError></detail></s:Fault>'))
        def firewall_control(self, action, field):
            if router.args.igd != 2:
                self.reply(500, fault(401, "Invalid Action"))
            elif action == "GetFirewallStatus":
                self.reply(200, envelope('<u:GetFirewallStatusResponse xmlns:u="%s"><FirewallEnabled>1'
                                         '</FirewallEnabled><InboundPinholeAllowed>1</InboundPinholeAllowed>'
                                         '</u:GetFirewallStatusResponse>' % FIREWALL_SERVICE))
            elif action == "AddPinhole" and router.args.mode == "refuse":
                self.reply(500, fault(606, "Action not authorized"))
            elif action == "AddPinhole":
                # The protocol is IANA's number: 6 for TCP.
                if field("Protocol") != "6":
                    self.reply(500, fault(705, "ProtocolNotSupported"))
                    return
                unique = router.add_pinhole(field("InternalClient"), int(field("InternalPort")),
                                            int(field("LeaseTime") or 0))
                self.reply(200, envelope('<u:AddPinholeResponse xmlns:u="%s"><UniqueID>%s</UniqueID>'
                                         '</u:AddPinholeResponse>' % (FIREWALL_SERVICE, unique)))
            elif action == "UpdatePinhole":
                if router.update_pinhole(field("UniqueID"), int(field("NewLeaseTime") or 0)):
                    self.reply(200, envelope('<u:UpdatePinholeResponse xmlns:u="%s"/>' % FIREWALL_SERVICE))
                else:
                    self.reply(500, fault(704, "NoSuchEntry"))
            elif action == "DeletePinhole":
                if router.remove_pinhole(field("UniqueID")):
                    self.reply(200, envelope('<u:DeletePinholeResponse xmlns:u="%s"/>' % FIREWALL_SERVICE))
                else:
                    self.reply(500, fault(704, "NoSuchEntry"))
            else:
                self.reply(500, fault(401, "Invalid Action"))
    return Handler


def serve_natpmp(router):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind((router.args.lan, 5351))
    while True:
        data, source = sock.recvfrom(64)
        if router.args.mode == "silent" or len(data) < 2 or data[0] != 0:
            router.log("natpmp ignored")
            continue
        op = data[1]
        since = int(time.time()) - router.epoch
        if op == 0:
            router.log("natpmp address")
            address = socket.inet_aton(router.args.external)
            sock.sendto(struct.pack("!BBHI", 0, 128, 0, since) + address, source)
        elif op in (1, 2) and len(data) >= 12:
            internal, external, lease = struct.unpack("!HHI", data[4:12])
            router.log("natpmp map %d %d %d" % (internal, external, lease))
            if router.args.mode == "refuse":
                sock.sendto(struct.pack("!BBHIHHI", 0, 128 + op, 2, since, internal, 0, 0), source)
                continue
            if lease == 0:
                for port, _ in list(router.rules.items()):
                    router.remove(port)
            else:
                lease = min(lease, router.args.natpmp_lease)
                router.add(external or internal, source[0], internal, lease)
            sock.sendto(struct.pack("!BBHIHHI", 0, 128 + op, 0, since, internal,
                                    external or internal, lease), source)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lan", required=True)
    parser.add_argument("--external", required=True)
    parser.add_argument("--wan-if", required=True)
    parser.add_argument("--table", required=True)
    parser.add_argument("--mode", choices=["open", "refuse", "silent", "taken"], default="open")
    parser.add_argument("--igd", type=int, choices=[1, 2], default=1, help="the UPnP IGD version answered")
    parser.add_argument("--natpmp-lease", type=int, default=7200, help="the longest NAT-PMP lease granted")
    args = parser.parse_args()
    router = Router(args)
    server = http.server.ThreadingHTTPServer((args.lan, 5000), make_handler(router))
    server.daemon_threads = True
    threading.Thread(target=serve_natpmp, args=(router,), daemon=True).start()
    router.log("ready")
    try:
        server.serve_forever()
    finally:
        subprocess.run(["nft", "delete", "table", "ip", args.table])
        subprocess.run(["nft", "delete", "table", "inet", args.table])


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""The benchmark's M/M/3 model in SimPy 2 (Debian's python3-simpy), as the peer of
mhsim_bench: demand rate 2.5 per hour, exponential service of mean 1 hour, 3 servers, 8-hour
cycles that end at closing time (option 1). Counts the same events as the engine (each
arrival, each end of service, the closing) and prints events per second of processor time,
as Google Benchmark counts the engine's, as the last line:
    events_per_second=N
Usage: /usr/bin/python3 mhsim_simpy.py [cycles] [seed]
"""
import random
import sys
import time

from SimPy.Simulation import Process, Resource, Simulation, hold, release, request

RATE, MEAN_SERVICE, SERVERS, LENGTH = 2.5, 1.0, 3, 8.0


class Counter:
    events = 0
    served = 0


class Customer(Process):
    def visit(self, desk, count):
        yield request, self, desk
        yield hold, self, random.expovariate(1.0 / MEAN_SERVICE)
        yield release, self, desk
        count.events += 1
        count.served += 1


class Source(Process):
    def generate(self, desk, count):
        while True:
            yield hold, self, random.expovariate(RATE)
            count.events += 1
            customer = Customer(sim=self.sim)
            self.sim.activate(customer, customer.visit(desk, count))


def main():
    cycles = int(sys.argv[1]) if len(sys.argv) > 1 else 2000
    random.seed(int(sys.argv[2]) if len(sys.argv) > 2 else 1)
    count = Counter()
    start, cpu = time.perf_counter(), time.process_time()
    for _ in range(cycles):
        sim = Simulation()
        sim.initialize()
        desk = Resource(capacity=SERVERS, sim=sim)
        source = Source(sim=sim)
        sim.activate(source, source.generate(desk, count))
        sim.simulate(until=LENGTH)
        count.events += 1  # the closing
    seconds, cpu = time.perf_counter() - start, time.process_time() - cpu
    print("cycles=%d events=%d served_per_cycle=%.3f seconds=%.3f cpu_seconds=%.3f" %
          (cycles, count.events, count.served / cycles, seconds, cpu))
    print("events_per_second=%.0f" % (count.events / cpu))


if __name__ == "__main__":
    main()

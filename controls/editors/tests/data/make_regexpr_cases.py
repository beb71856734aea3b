#!/usr/bin/env python3
"""Writes regexpr_cases.txt: random mask expressions in the mask syntax, each
with the same expression in Python's syntax, and random inputs with the
results of a real engine: whether the whole input matches (re.fullmatch) and
whether it is a correct beginning of a match (regex.fullmatch with
partial=True). The test reads the file; Python is needed only to remake it.

    python3 make_regexpr_cases.py > regexpr_cases.txt

Format: "P<TAB>mask expression" starts a pattern; each following
"I<TAB>input<TAB>full<TAB>prefix" line is one input (0/1 results).
The date separator is '-' and the time separator ':' when the cases run.
"""
import random
import re

import regex

DATE_SEP = '-'
TIME_SEP = ':'
ALPHABET = 'ab1-A_ :'

rnd = random.Random(20261210)


class Node:
    def mask(self):
        raise NotImplementedError

    def py(self):
        raise NotImplementedError

    def optional(self):  # its quantifier is ? or *
        return False

    def can_be_empty(self):
        return False


class Atom(Node):
    """One character test: (mask text, python text)."""

    def __init__(self, m, p):
        self.m, self.p = m, p

    def mask(self):
        return self.m

    def py(self):
        return self.p


def literal():
    c = rnd.choice('ab1A-')
    forms = [(c, re.escape(c))]
    forms.append(("'" + c + "'", re.escape(c)))
    forms.append(('\\x%02X' % ord(c), re.escape(c)))
    return Atom(*rnd.choice(forms))


def atom():
    k = rnd.randrange(12)
    if k < 5:
        return literal()
    if k == 5:
        return Atom('.', '[\\s\\S]')
    if k == 6:
        return Atom(*rnd.choice([('\\d', '[0-9]'), ('\\D', '[^0-9]'),
                                 ('\\w', '[A-Za-z0-9_]'), ('\\W', '[^A-Za-z0-9_]'),
                                 ('\\s', '[ \\x00\\t\\n\\f\\r]'),
                                 ('\\S', '[^ \\x00\\t\\n\\f\\r]')]))
    if k == 7:
        return Atom('/', re.escape(DATE_SEP))
    if k == 8:
        return Atom(':', re.escape(TIME_SEP))
    if k == 9:
        return Atom("' '", ' ')
    # a set
    inv = rnd.random() < 0.3
    members_m, members_p = [], []
    for _ in range(rnd.randint(1, 3)):
        j = rnd.randrange(4)
        if j == 0:
            members_m.append('a-b'); members_p.append('a-b')
        elif j == 1:
            members_m.append('0-9'); members_p.append('0-9')
        elif j == 2:
            c = rnd.choice('aA1_')
            members_m.append(c); members_p.append(re.escape(c))
        else:
            members_m.append('\\d'); members_p.append('0-9')
    return Atom('[' + ('^' if inv else '') + ' '.join(members_m) + ']',
                '[' + ('^' if inv else '') + ''.join(members_p) + ']')


class Group(Node):
    def __init__(self, alts):
        self.alts = alts

    def mask(self):
        return '(' + '|'.join(' '.join(i.mask() for i in a) for a in self.alts) + ')'

    def py(self):
        return '(?:' + '|'.join(''.join(i.py() for i in a) for a in self.alts) + ')'

    def can_be_empty(self):
        return any(all(i.can_be_empty() for i in a) for a in self.alts)


class Quant(Node):
    def __init__(self, item, q):
        self.item, self.q = item, q

    def mask(self):
        return self.item.mask() + self.q

    def py(self):
        return '(?:' + self.item.py() + ')' + self.q

    def optional(self):
        return self.q in ('?', '*')

    def can_be_empty(self):
        return self.optional() or (self.q.startswith('{0') or self.item.can_be_empty())


class Ref(Node):
    def __init__(self, n, group):
        self.n, self.group = n, group

    def mask(self):
        return '\\%d' % self.n

    def py(self):
        return self.group.py()

    def can_be_empty(self):
        return self.group.can_be_empty()


def item(depth, groups):
    if depth < 2 and rnd.random() < 0.25:
        g = Group([])
        groups.append(g)
        g.alts = [alt(depth + 1, groups) for _ in range(rnd.randint(1, 2))]
        base = g
    elif groups and rnd.random() < 0.08 and groups[-1].alts:
        n = rnd.randrange(len(groups))
        if not groups[n].alts:
            base = atom()
        else:
            base = Ref(n + 1, groups[n])
    else:
        base = atom()
    r = rnd.random()
    if r < 0.5:
        return base
    if r < 0.65:
        return Quant(base, '?')
    if base.can_be_empty():
        return base
    if r < 0.78:
        return Quant(base, '*')
    if r < 0.9:
        return Quant(base, '+')
    m = rnd.randint(1, 2)
    return Quant(base, rnd.choice(['{%d}' % m, '{%d,}' % m, '{%d,%d}' % (m, m + rnd.randint(0, 2))]))


def alt(depth, groups):
    return [item(depth, groups) for _ in range(rnd.randint(1, 4 - depth))]


def pattern():
    groups = []
    alts = [alt(0, groups) for _ in range(rnd.choice([1, 1, 1, 2]))]
    m = '|'.join(' '.join(i.mask() for i in a) for a in alts)
    p = '|'.join(''.join(i.py() for i in a) for a in alts)
    return m, p


def main():
    seen = set()
    count = 0
    while count < 300:
        m, p = pattern()
        if m in seen:
            continue
        seen.add(m)
        try:
            cre = re.compile(p, re.DOTALL)
            cregex = regex.compile(p, regex.DOTALL)
        except re.error:
            continue
        inputs = set([''])
        # Inputs that match, so that accepted texts are well represented.
        for _ in range(120):
            s = ''.join(rnd.choice(ALPHABET) for _ in range(rnd.randint(0, 6)))
            inputs.add(s)
        print('P\t' + m)
        for s in sorted(inputs):
            full = 1 if cre.fullmatch(s) else 0
            pre = 1 if cregex.fullmatch(s, partial=True) else 0
            print('I\t%s\t%d\t%d' % (s, full, pre))
        count += 1


if __name__ == '__main__':
    main()

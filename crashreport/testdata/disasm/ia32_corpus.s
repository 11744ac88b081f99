# IA-32 instructions in representative forms, one- and two-byte maps. Every
# line assembles with `as --32`; the decoder's lengths and branch targets
# are compared with objdump's.
        .text
        .globl start
start:
# ModRM forms of an r/m, reg instruction: register, [reg], disp8, disp32,
# SIB with and without base, absolute, 16-bit addressing (67 prefix).
        .macro rmforms op
        \op %ecx, %edx
        \op %ecx, (%eax)
        \op %ecx, 0x12(%ebx)
        \op %ecx, -0x1234567(%esi)
        \op %ecx, (%esp)
        \op %ecx, 0x7f(%eax,%edi,2)
        \op %ecx, 0x1000(,%edx,8)
        \op %ecx, (%ebp)
        \op %ecx, cell
        \op %ecx, (%bx,%si)
        \op %ecx, 0x12(%bp,%di)
        \op %ecx, 0x1234
        \op %ecx, 0x1234(%bx)
        .endm
        .macro rmforms16 op
        \op %cx, %dx
        \op %cx, 0x12(%ebx,%esi,4)
        .endm
        .macro rmforms8 op
        \op %cl, %dh
        \op %cl, 0x12(%ebx,%esi,4)
        .endm
        .irp op, add, or, adc, sbb, and, sub, xor, cmp, test, xchg, mov
        rmforms \op
        rmforms16 \op
        rmforms8 \op
        .endr
        .irp op, add, or, adc, sbb, and, sub, xor, cmp
        \op (%eax), %ecx
        \op 0x12(%ebp), %cl
        \op $0x12, %al
        \op $0x12345678, %eax
        \op $0x1234, %ax
        \op $0x12, %bl
        \op $0x12345678, %ebx
        \op $0x12, %ebx
        \op $0x1234, %bx
        \op $-3, %bx
        \op $0x7f, 0x10(%ecx,%eax,2)
        \op $0x12345678, 0x10(%ecx,%eax,2)
        \op $0x5, (%bx,%di)
        .endr
        push %es
        pop %es
        push %cs
        push %ss
        pop %ss
        push %ds
        pop %ds
        daa
        das
        aaa
        aas
        .irp r, eax, ecx, edx, ebx, esp, ebp, esi, edi
        inc %\r
        dec %\r
        push %\r
        pop %\r
        xchg %\r, %eax
        mov $0x12345678, %\r
        .endr
        inc %ax
        mov $0x1234, %si
        pusha
        popa
        pushw $0x1234
        bound %eax, (%ecx)
        arpl %dx, (%eax)
        arpl %dx, %cx
        push $0x12345678
        push $0x12
        imul $0x12345678, %ecx, %edx
        imul $0x12, (%eax), %edx
        imul $0x1234, %cx, %dx
        insb
        insl
        outsb
        outsw
        rep insb
        rep outsl
lbl_jcc:
        .irp cc, o, no, b, ae, e, ne, be, a, s, ns, p, np, l, ge, le, g
        j\cc lbl_jcc
        j\cc lbl_far
        .endr
        testl $0x12345678, (%eax)
        testb $0x12, %bh
        test %eax, %eax
        mov %es, %eax
        mov %ds, (%ecx)
        mov %fs, %ax
        mov %eax, %ss
        mov (%ebx), %gs
        lea 0x12(%eax,%ebx,4), %ecx
        lea (%bx,%si), %ax
        lea cell, %eax
        popl (%eax)
        popl 0x12345678
        nop
        cwtl
        cwtd
        cltd
        lcall $0x1234, $0x12345678
        lcallw $0x1234, $0x5678
        fwait
        pushf
        popf
        sahf
        lahf
        mov cell, %eax
        mov cell, %al
        mov %eax, cell
        mov %al, cell
        mov 0x1234, %ax
        addr16 mov 0x1234, %eax
        movsb
        movsl
        movsw
        cmpsb
        cmpsl
        stosb
        stosl
        lodsb
        lodsl
        scasb
        scasl
        rep movsb
        repne scasb
        test $0x12, %al
        test $0x12345678, %eax
        test $0x1234, %ax
        mov $0x12, %al
        mov $0x12, %bh
        .irp op, rol, ror, rcl, rcr, shl, shr, sar
        \op $3, %eax
        \op $3, 0x12(%ecx)
        \op %eax
        \op (%ecx)
        \op %cl, %edx
        \op %cl, 0x12345678(%ebx)
        \op $3, %bl
        \op %dl
        \op %cl, %dh
        \op $4, %ax
        .endr
        ret $0x10
        ret
        les (%eax), %ecx
        lds 0x12(%ebx), %edx
        movb $0x12, (%eax)
        movl $0x12345678, 0x12(%eax,%ebx,2)
        movw $0x1234, (%ecx)
        movl $0x12345678, %ecx
        enter $0x1234, $0x12
        leave
        lret $0x12
        lret
        int3
        int $0x80
        into
        iret
        aam
        aam $0x12
        aad
        xlat
lbl_loop:
        loopne lbl_loop
        loope lbl_loop
        loop lbl_loop
        jecxz lbl_loop
        jcxz lbl_loop
        in $0x12, %al
        in $0x12, %eax
        out %al, $0x12
        out %eax, $0x12
        call lbl_loop
        jmp lbl_far
        ljmp $0x1234, $0x12345678
        jmp lbl_loop
        in (%dx), %al
        in (%dx), %eax
        out %al, (%dx)
        out %ax, (%dx)
        lock addl $1, (%eax)
        int1
        hlt
        cmc
        clc
        stc
        cli
        sti
        cld
        std
        .irp op, not, neg, mul, imul, div, idiv
        \op %ecx
        \op %bl
        \op %cx
        \op 0x12(%esi)
        \op 0x12345678
        .endr
        incb (%eax)
        decb %bl
        incl 0x12(%eax)
        decl %ecx
        pushl (%eax)
        pushl 0x12(%ebx,%ecx,4)
        call *%eax
        call *(%ebx)
        call *0x12(%eax,%ecx,2)
        call *cell
        lcall *(%eax)
        jmp *%edx
        jmp *(%ebx)
        jmp *cell(,%eax,4)
        jmp *cell
        ljmp *0x12(%ecx)
        callw *%ax
        jmpw *(%bx)
# x87: memory forms of every escape and register forms.
        .irp op, fadds, fmuls, fcoms, fcomps, fsubs, fsubrs, fdivs, fdivrs
        \op (%eax)
        \op 0x12345678
        .endr
        .irp op, fadd, fmul, fsub, fsubr, fdiv, fdivr
        \op %st(3), %st
        \op %st, %st(3)
        \op 0x12(%eax)
        .endr
        fcom %st(2)
        fcomp %st(2)
        flds (%eax)
        fsts (%eax)
        fstps (%eax)
        fldenv (%eax)
        fldcw (%eax)
        fnstenv (%eax)
        fnstcw (%eax)
        fld %st(1)
        fxch %st(2)
        fnop
        fchs
        fabs
        ftst
        fxam
        fld1
        fldl2t
        fldl2e
        fldpi
        fldlg2
        fldln2
        fldz
        f2xm1
        fyl2x
        fptan
        fpatan
        fxtract
        fprem1
        fdecstp
        fincstp
        fprem
        fyl2xp1
        fsqrt
        fsincos
        frndint
        fscale
        fsin
        fcos
        fiaddl (%eax)
        fimull 0x12(%eax)
        ficoml (%eax)
        ficompl (%eax)
        fisubl (%eax)
        fisubrl (%eax)
        fidivl (%eax)
        fidivrl (%eax)
        fcmovb %st(1), %st
        fcmove %st(2), %st
        fcmovbe %st(3), %st
        fcmovu %st(4), %st
        fucompp
        fildl (%eax)
        fisttpl (%eax)
        fistl (%eax)
        fistpl (%eax)
        fldt (%eax)
        fstpt (%eax)
        fcmovnb %st(1), %st
        fcmovne %st(1), %st
        fcmovnbe %st(1), %st
        fcmovnu %st(1), %st
        fnclex
        fninit
        fucomi %st(1), %st
        fcomi %st(2), %st
        faddl (%eax)
        fmull (%eax)
        fcoml (%eax)
        fcompl (%eax)
        fsubl (%eax)
        fsubrl (%eax)
        fdivl (%eax)
        fdivrl (%eax)
        fldl (%eax)
        fisttpll (%eax)
        fstl (%eax)
        fstpl (%eax)
        frstor (%eax)
        fnsave (%eax)
        fnstsw (%eax)
        ffree %st(1)
        fst %st(2)
        fstp %st(3)
        fucom %st(1)
        fucomp %st(1)
        fiadds (%eax)
        fimuls (%eax)
        ficoms (%eax)
        ficomps (%eax)
        fisubs (%eax)
        fisubrs (%eax)
        fidivs (%eax)
        fidivrs (%eax)
        faddp %st, %st(1)
        fmulp %st, %st(2)
        fcompp
        fsubp %st, %st(1)
        fsubrp %st, %st(1)
        fdivp %st, %st(1)
        fdivrp %st, %st(1)
        filds (%eax)
        fisttps (%eax)
        fists (%eax)
        fistps (%eax)
        fbld (%eax)
        fildll (%eax)
        fbstp (%eax)
        fistpll (%eax)
        fnstsw %ax
        fucomip %st(1), %st
        fcomip %st(1), %st
        ffreep %st(1)
# Two-byte map: system forms.
        sldt %eax
        str (%eax)
        lldt %ax
        ltr (%eax)
        verr %ax
        verw (%eax)
        sgdt (%eax)
        sidt (%eax)
        lgdt (%eax)
        lidt 0x12(%eax)
        smsw %eax
        lmsw (%eax)
        invlpg (%eax)
        lar %ecx, %edx
        lsl (%eax), %edx
        clts
        invd
        wbinvd
        prefetch (%eax)
        prefetchw 0x12(%eax)
        femms
        pfadd %mm1, %mm2
        pfmul (%eax), %mm2
        pi2fd %mm1, %mm2
        pfrcpit2 0x12(%eax), %mm3
        pavgusb %mm1, %mm2
        prefetchnta (%eax)
        prefetcht0 (%eax)
        prefetcht1 (%eax)
        prefetcht2 (%eax)
        nopl (%eax)
        nopw 0x0(%eax,%eax,1)
        mov %cr0, %eax
        mov %eax, %cr3
        mov %dr7, %ecx
        mov %ecx, %dr1
        wrmsr
        rdtsc
        rdmsr
        rdpmc
        sysenter
        sysexit
        .irp cc, o, no, b, ae, e, ne, be, a, s, ns, p, np, l, ge, le, g
        cmov\cc %ecx, %edx
        cmov\cc 0x12(%eax), %edx
        set\cc %al
        set\cc (%ebx)
        .endr
        push %fs
        pop %fs
        cpuid
        bt %ecx, (%eax)
        bt $3, %eax
        bts %ecx, %edx
        btr $7, (%eax)
        btc %eax, 0x12(%ebx)
        shld $3, %ecx, %edx
        shld %cl, %ecx, (%eax)
        shrd $3, %ecx, 0x12(%eax)
        shrd %cl, %ecx, %edx
        push %gs
        pop %gs
        rsm
        imul %ecx, %edx
        imul (%eax), %edx
        cmpxchg %cl, (%eax)
        cmpxchg %ecx, %edx
        lss (%eax), %ecx
        lfs (%eax), %ecx
        lgs 0x12(%eax), %ecx
        movzbl %cl, %edx
        movzwl (%eax), %edx
        movsbl %cl, %edx
        movswl (%eax), %edx
        movzbw %al, %dx
        bsf %ecx, %edx
        bsr (%eax), %edx
        xadd %cl, %dl
        xadd %ecx, (%eax)
        cmpxchg8b (%eax)
        .irp r, eax, ecx, edx, ebx, esp, ebp, esi, edi
        bswap %\r
        .endr
# MMX.
        .irp op, punpcklbw, punpcklwd, punpckldq, packsswb, pcmpgtb, pcmpgtw, pcmpgtd, packuswb, punpckhbw, punpckhwd, punpckhdq, packssdw, pcmpeqb, pcmpeqw, pcmpeqd, psrlw, psrld, psrlq, pmullw, psubusb, psubusw, pand, paddusb, paddusw, pandn, psraw, psrad, pmulhw, psubsb, psubsw, por, paddsb, paddsw, pxor, psllw, pslld, psllq, pmaddwd, psubb, psubw, psubd, paddb, paddw, paddd
        \op %mm1, %mm2
        \op 0x12(%eax), %mm3
        \op %xmm1, %xmm2
        \op (%eax,%ecx,4), %xmm3
        .endr
        movd %eax, %mm1
        movd %mm1, (%eax)
        movq (%eax), %mm1
        movq %mm1, %mm2
        movq %mm1, 0x12(%eax)
        movd %eax, %xmm1
        movd %xmm1, %eax
        movq (%eax), %xmm1
        movq %xmm1, (%eax)
        movq %xmm1, %xmm2
        pshufw $0x1b, %mm1, %mm2
        pshufw $0x1b, (%eax), %mm2
        .irp op, psrlw, psraw, psllw, psrld, psrad, pslld, psrlq, psllq
        \op $3, %mm1
        \op $3, %xmm1
        .endr
        psrldq $3, %xmm1
        pslldq $3, %xmm1
        emms
# SSE, SSE2, SSE3.
        .irp op, movups, movupd, movss, movsd, movaps, movapd, unpcklps, unpcklpd, unpckhps, unpckhpd, sqrtps, sqrtss, sqrtpd, sqrtsd, rsqrtps, rsqrtss, rcpps, rcpss, andps, andpd, andnps, andnpd, orps, orpd, xorps, xorpd, addps, addss, addpd, addsd, mulps, mulss, mulpd, mulsd, subps, subss, subpd, subsd, minps, minss, minpd, minsd, divps, divss, divpd, divsd, maxps, maxss, maxpd, maxsd, comiss, comisd, ucomiss, ucomisd, cvtps2pd, cvtpd2ps, cvtss2sd, cvtsd2ss, cvtdq2ps, cvtps2dq, cvttps2dq, punpcklqdq, punpckhqdq, movdqa, movdqu, pmuludq, paddq, psubq, pavgb, pavgw, pmulhuw, pminub, pmaxub, pminsw, pmaxsw, psadbw, haddps, haddpd, hsubps, hsubpd, addsubps, addsubpd, movsldup, movshdup, movddup, cvtdq2pd, cvtpd2dq, cvttpd2dq
        \op %xmm1, %xmm2
        \op 0x12(%eax,%ebx,2), %xmm3
        .endr
        movups %xmm1, (%eax)
        movss %xmm1, 0x12(%eax)
        movlps (%eax), %xmm1
        movlps %xmm1, (%eax)
        movhps (%eax), %xmm1
        movhps %xmm1, (%eax)
        movlpd (%eax), %xmm1
        movhpd %xmm1, (%eax)
        movhlps %xmm1, %xmm2
        movlhps %xmm1, %xmm2
        movaps %xmm1, 0x12345678(%eax)
        cvtpi2ps %mm1, %xmm1
        cvtpi2ps (%eax), %xmm1
        cvtsi2ss %eax, %xmm1
        cvtsi2sdl (%eax), %xmm1
        movntps %xmm1, (%eax)
        movntpd %xmm1, (%eax)
        cvttps2pi %xmm1, %mm1
        cvttss2si %xmm1, %eax
        cvtps2pi (%eax), %mm1
        cvtsd2si %xmm1, %eax
        movmskps %xmm1, %eax
        movmskpd %xmm1, %eax
        pshufd $0x1b, %xmm1, %xmm2
        pshufhw $0x1b, (%eax), %xmm2
        pshuflw $0x1b, %xmm1, %xmm2
        ldmxcsr (%eax)
        stmxcsr (%eax)
        fxsave (%eax)
        fxrstor (%eax)
        clflush (%eax)
        lfence
        mfence
        sfence
        cmpps $3, %xmm1, %xmm2
        cmpss $1, (%eax), %xmm2
        cmppd $2, %xmm1, %xmm2
        cmpsd $4, 0x12(%eax), %xmm2
        movnti %eax, (%ebx)
        pinsrw $2, %eax, %mm1
        pinsrw $2, (%eax), %xmm1
        pextrw $2, %mm1, %eax
        pextrw $2, %xmm1, %eax
        shufps $0x1b, %xmm1, %xmm2
        shufpd $1, (%eax), %xmm2
        movq2dq %mm1, %xmm1
        movdq2q %xmm1, %mm1
        pmovmskb %mm1, %eax
        pmovmskb %xmm1, %eax
        movntq %mm1, (%eax)
        movntdq %xmm1, (%eax)
        maskmovq %mm1, %mm2
        maskmovdqu %xmm1, %xmm2
        lddqu (%eax), %xmm1
        fisttp (%eax)
        pause
        data16 nop
lbl_far:
        jmp lbl_jcc
        call start
        call .+5
        callw lbl_loop
        ret
        .p2align 2
cell:
        .long start
